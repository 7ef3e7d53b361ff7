#pragma once

#include "model/core/mode_table.h"
#include "model/tools/row_keys.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace search {

// Distinct rows 0 among the query tiles up to which byte filters are built.
inline constexpr std::size_t MaxFilterRows = 64;

// What the query tiles' rows 0 (or 1) are: the rows themselves for exact colors,
// their distinct pattern keys otherwise.
struct QueryRows {
    bool Exact = false;
    std::vector<Row> Rows;
    std::vector<Key> PatternKeys;
};

// A quick reject per mode: whether two of the bytes that make row 0 allow
// any query row 0 at all, looked up in a table of all 65536 values of the
// two bytes. When those two bytes are all of row 0, the table answers for
// the whole row.
struct ByteFilter {
    int First = 0;   // positions of the two bytes in the tile
    int Second = 0;  // the same as First when one byte makes row 0
    bool Complete = false;
    // Rejects at least half of all byte values; a filter that lets most
    // through costs more than it saves and is not asked.
    bool Useful = false;
    int Passed = 65536;               // byte values let through
    std::vector<std::uint64_t> Bits;  // bit b0 | b1 << 8

    bool MayMatch(const std::uint8_t* tile) const
    {
        const unsigned index = tile[First] | tile[Second] << 8;
        return (Bits[index >> 6] >> (index & 63)) & 1;
    }
};

// The filters on each pair of row y (0 or 1) bytes against the query's rows
// y, in the order of the bytes: the first reads the mode's first two row y
// bytes.
std::vector<ByteFilter> PairByteFilters(GraphicsMode mode, const QueryRows& query, int y = 0);

// The number of those filters, and one of them.
int PairCount(GraphicsMode mode, int y = 0);
ByteFilter PairByteFilter(GraphicsMode mode, const QueryRows& query, int pair, int y = 0);

// The two of filters that reject the most, best first; the second is not
// Useful when the mode's row 0 has only two bytes.
std::pair<ByteFilter, ByteFilter> BestByteFilters(std::vector<ByteFilter> filters);

// The same from the filters the mode's row 0 bytes give.
std::pair<ByteFilter, ByteFilter> BestByteFilters(GraphicsMode mode, const QueryRows& query);

}  // namespace search
