#pragma once

#include "model/core/mode_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The rows of a tile straight from its bytes, and the short keys of rows
// that the graphics search compares before it decodes a whole tile.
namespace search {

// Eight pixels, pixel x in byte x.
using Row = std::uint64_t;

// One row of a tile from its bytes alone. Every mode moves each stored bit
// to one pixel bit, so a row is the OR of what each of its bytes gives on
// its own; the bytes and their contributions are found by asking
// DecodeTile, so no layout is written down twice.
struct RowDecoder {
    std::vector<int> Positions;
    std::vector<std::array<Row, 256>> Tables;
    bool Linear = false;  // row 0 is bytes 0-7 as they stand
};

// The decoder of row y (0 or 1) of a mode, made once.
const RowDecoder& RowDecoderOf(GraphicsMode mode, int y = 0);

// Row y of a tile decoded by DecodeTile.
Row DecodedRow(std::uint8_t mode, const std::uint8_t* bytes, int y);

inline Row DecodeRow(const RowDecoder& decoder, const std::uint8_t* tile)
{
    Row row = 0;
    for (std::size_t j = 0; j < decoder.Positions.size(); ++j)
        row |= decoder.Tables[j][tile[decoder.Positions[j]]];
    return row;
}

// 0x80 in every byte of x that is zero, 0 elsewhere (no false positives).
inline Row ZeroBytes(Row x)
{
    constexpr Row low7 = 0x7F7F7F7F7F7F7F7FULL;
    return ~(((x & low7) + low7) | x | low7);
}

// Pixel pairs up to this far apart make a row's key: any five neighbouring
// pixels of at most four colors hold an equal pair, which random bytes of
// the wider modes rarely have.
constexpr int KeyDistance = 4;
using Key = std::uint64_t;

// Top bit of byte x set for the pixels x that have a pixel d places to
// their right.
constexpr Row PairsAt(int d)
{
    return 0x8080808080808080ULL >> (8 * d);
}

// Every bit a pattern key can have.
constexpr Key KeyMask = PairsAt(1) | PairsAt(2) >> 1 | PairsAt(3) >> 2 | PairsAt(4) >> 3;

// The quick reject key of a row. Patterns: for d = 1 to 4, bit 8x+8-d says
// whether pixel x equals the pixel d places to its right, which a renaming
// of colors keeps (22 bits used). Exact colors: the row itself.
inline Key RowKey(Row row, bool exact)
{
    if (exact)
        return row;
    Key key = 0;
    for (int d = 1; d <= KeyDistance; ++d)
        key |= (ZeroBytes(row ^ (row >> (8 * d))) & PairsAt(d)) >> (d - 1);
    return key;
}

// Where a key falls in a 65,536-bit set.
inline unsigned KeyIndex(Key key)
{
    return static_cast<unsigned>((key * 0x9E3779B97F4A7C15ULL) >> 48);
}

// Where the keys of rows 0 and 1 of a tile fall in a 65,536-bit set.
inline unsigned PairIndex(Key key0, Key key1)
{
    return static_cast<unsigned>(((key0 * 0x9E3779B97F4A7C15ULL) ^ (key1 * 0xC2B2AE3D27D4EB4FULL)) >> 48);
}

inline void SetBit(std::vector<std::uint64_t>& bits, unsigned index)
{
    bits[index >> 6] |= std::uint64_t{1} << (index & 63);
}

inline bool TestBit(const std::vector<std::uint64_t>& bits, unsigned index)
{
    return (bits[index >> 6] >> (index & 63)) & 1;
}

}  // namespace search
