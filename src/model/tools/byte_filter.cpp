#include "model/tools/byte_filter.h"

#include <algorithm>
#include <bit>

namespace search {

namespace {

// Pairs of pixels up to KeyDistance apart (bit layout of RowKey) whose
// known bits already tell them apart, and pairs known to be equal because
// both pixels are wholly known and the same.
void KnownPairs(Row value, Row known, Row whole, Key& unequal, Key& equal)
{
    const Row wholePixels = ZeroBytes(known ^ whole);
    unequal = 0;
    equal = 0;
    for (int d = 1; d <= KeyDistance; ++d) {
        const Row bothKnown = known & (known >> (8 * d));
        const Row differ = ~ZeroBytes((value ^ (value >> (8 * d))) & bothKnown) & PairsAt(d);
        const Row same = ZeroBytes(value ^ (value >> (8 * d))) & wholePixels & (wholePixels >> (8 * d)) & PairsAt(d);
        unequal |= differ >> (d - 1);
        equal |= same >> (d - 1);
    }
}

// The filter on row y bytes firstByte and firstByte + 1 (of the mode's
// row y bytes; only firstByte when it is the last one).
ByteFilter MakeByteFilter(GraphicsMode mode, const QueryRows& query, std::size_t firstByte, int y)
{
    const RowDecoder& decoder = RowDecoderOf(mode, y);
    const auto& tables = decoder.Tables;
    const std::size_t count = decoder.Positions.size();
    ByteFilter filter;
    filter.Bits.assign(65536 / 64, 0);
    const bool two = firstByte + 1 < count;
    const std::array<Row, 256>& low = tables[firstByte];
    const std::array<Row, 256>& high = tables[two ? firstByte + 1 : firstByte];
    filter.First = decoder.Positions[firstByte];
    filter.Second = decoder.Positions[two ? firstByte + 1 : firstByte];
    filter.Complete = count <= 2;
    // Many different rows 0 would make the table slow to build and let
    // nearly everything through anyway: then only the row key filters.
    if ((query.Exact ? query.Rows.size() : query.PatternKeys.size()) > MaxFilterRows) {
        filter.Bits.assign(65536 / 64, ~std::uint64_t{0});
        filter.Complete = false;
        return filter;
    }
    const Row known = low[0xFF] | (two ? high[0xFF] : 0);
    const Row whole = 0x0101010101010101ULL * ((1u << StandardModes[mode].BitsPerPixel) - 1);
    for (unsigned index = 0; index < 65536; ++index) {
        const Row value = low[index & 0xFF] | (two ? high[index >> 8] : 0);
        bool may = false;
        if (query.Exact) {
            may = std::any_of(query.Rows.begin(), query.Rows.end(),
                              [&](Row row) { return ((row ^ value) & known) == 0; });
        } else {
            Key unequal, equal;
            KnownPairs(value, known, whole, unequal, equal);
            may = std::any_of(query.PatternKeys.begin(), query.PatternKeys.end(),
                              [&](Key key) { return (key & unequal) == 0 && (~key & KeyMask & equal) == 0; });
        }
        if (may)
            filter.Bits[index >> 6] |= std::uint64_t{1} << (index & 63);
    }
    filter.Passed = 0;
    for (const std::uint64_t word : filter.Bits)
        filter.Passed += std::popcount(word);
    filter.Useful = filter.Complete || filter.Passed <= 65536 / 2;
    return filter;
}

}  // namespace

// Which pair rejects most depends on where the query rows 0 have equal
// pixels.
std::vector<ByteFilter> PairByteFilters(GraphicsMode mode, const QueryRows& query, int y)
{
    std::vector<ByteFilter> filters;
    for (int pair = 0; pair < PairCount(mode, y); ++pair)
        filters.push_back(PairByteFilter(mode, query, pair, y));
    return filters;
}

int PairCount(GraphicsMode mode, int y)
{
    return static_cast<int>(RowDecoderOf(mode, y).Positions.size() + 1) / 2;
}

ByteFilter PairByteFilter(GraphicsMode mode, const QueryRows& query, int pair, int y)
{
    return MakeByteFilter(mode, query, 2 * static_cast<std::size_t>(pair), y);
}

std::pair<ByteFilter, ByteFilter> BestByteFilters(std::vector<ByteFilter> filters)
{
    std::sort(filters.begin(), filters.end(),
              [](const ByteFilter& a, const ByteFilter& b) { return a.Passed < b.Passed; });
    return {std::move(filters[0]), filters.size() > 1 ? std::move(filters[1]) : ByteFilter{}};
}

std::pair<ByteFilter, ByteFilter> BestByteFilters(GraphicsMode mode, const QueryRows& query)
{
    return BestByteFilters(PairByteFilters(mode, query));
}

}  // namespace search
