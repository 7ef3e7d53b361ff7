#include "model/tools/row_equalities.h"

#include "model/core/editor_cells.h"

#include <cstring>

namespace search {

namespace {

// The flat key of one plane byte, pixel 0 in bit 7: which pixel pairs its
// bits leave equal.
const std::array<FlatKey, 256>& PlaneKeys()
{
    static const auto keys = [] {
        std::array<FlatKey, 256> all{};
        for (int value = 0; value < 256; ++value) {
            Row row = 0;
            for (int x = 0; x < TileSide; ++x)
                row |= static_cast<Row>((value >> (7 - x)) & 1) << (8 * x);
            all[value] = FlatKeyOfRow(row);
        }
        return all;
    }();
    return keys;
}

bool IsPlanes(const RowDecoder& decoder)
{
    Row seen = 0;
    for (const auto& table : decoder.Tables) {
        // Bytes must give disjoint bits, so that equal bits of every byte
        // make equal pixels.
        if (table[0xFF] & seen)
            return false;
        seen |= table[0xFF];
        // The pairs a byte's own bits leave equal must be those of a
        // plane byte.
        for (int value = 0; value < 256; ++value)
            if (FlatKeyOfRow(table[value]) != PlaneKeys()[value])
                return false;
    }
    return !decoder.Tables.empty();
}

bool IsNibbles(const RowDecoder& decoder, bool highFirst)
{
    if (decoder.Positions != std::vector<int>{0, 1, 2, 3})
        return false;
    for (int j = 0; j < 4; ++j)
        for (int value = 0; value < 256; ++value) {
            const Row first = static_cast<Row>(highFirst ? value >> 4 : value & 15);
            const Row second = static_cast<Row>(highFirst ? value & 15 : value >> 4);
            if (decoder.Tables[j][value] != (first << (16 * j) | second << (16 * j + 8)))
                return false;
        }
    return true;
}

// Per pixel k of a stream, which of the next KeyDistance pixels equal it;
// reads count + KeyDistance + 7 pixels. Eight pixels at a time in a word:
// bit 7 of each byte of ZeroBytes marks an equal pair.
void StreamEqualities(const std::uint8_t* pixels, std::uint8_t* equalities, int count)
{
    for (int k = 0; k < count; k += 8) {
        Row here;
        std::memcpy(&here, pixels + k, sizeof here);
        Row flags = 0;
        for (int d = 1; d <= KeyDistance; ++d) {
            Row there;
            std::memcpy(&there, pixels + k + d, sizeof there);
            flags |= ZeroBytes(here ^ there) >> (8 - d);
        }
        std::memcpy(equalities + k, &flags, sizeof flags);
    }
}

// The pixels of a byte of two, in stream order.
std::array<std::uint16_t, 256> NibblePixels(bool highFirst)
{
    std::array<std::uint16_t, 256> all{};
    for (int value = 0; value < 256; ++value) {
        const int first = highFirst ? value >> 4 : value & 15;
        const int second = highFirst ? value & 15 : value >> 4;
        all[value] = static_cast<std::uint16_t>(first | second << 8);
    }
    return all;
}

void SplitNibbles(const std::uint8_t* bytes, std::uint8_t* pixels, int count, bool highFirst)
{
    static const std::array<std::array<std::uint16_t, 256>, 2> tables{NibblePixels(false), NibblePixels(true)};
    const auto& table = tables[highFirst];
    for (int n = 0; n < count; ++n)
        std::memcpy(pixels + 2 * n, &table[bytes[n]], 2);
}

}  // namespace

FlatKey FlatKeyOfRow(Row row)
{
    FlatKey key = 0;
    for (int x = 0; x < TileSide; ++x)
        for (int d = 1; d <= KeyDistance && x + d < TileSide; ++d)
            if (((row >> (8 * x)) & 0xFF) == ((row >> (8 * (x + d))) & 0xFF))
                key |= FlatKey{1} << (8 * x + d - 1);
    return key;
}

RowSource RowSourceOf(GraphicsMode mode)
{
    static const auto sources = [] {
        std::array<RowSource, ModeCount> all{};
        for (int m = 0; m < ModeCount; ++m) {
            const RowDecoder& decoder = RowDecoderOf(static_cast<GraphicsMode>(m));
            if (decoder.Linear)
                all[m] = RowSource::Bytes;
            else if (IsPlanes(decoder))
                all[m] = RowSource::Planes;
            else if (IsNibbles(decoder, true))
                all[m] = RowSource::HighNibbleFirst;
            else if (IsNibbles(decoder, false))
                all[m] = RowSource::LowNibbleFirst;
        }
        return all;
    }();
    return sources[mode];
}

void RowEqualities::Fill(const std::uint8_t* bytes, bool planes, bool highFirst, bool lowFirst, bool linear)
{
    if (planes) {
        const auto& keys = PlaneKeys();
        for (int n = 0; n < EqualityStretch + 63; ++n)
            planes_[n] = keys[bytes[n]];
        for (int n = 0; n < EqualityStretch + 62; ++n)
            planePairs_[n] = planes_[n] & planes_[n + 1];
    }
    if (linear)
        StreamEqualities(bytes, bytes_.data(), EqualityStretch + 8);
    // Two pixels per byte: a key reads up to pixel 2 * EqualityStretch + 6,
    // whose equalities look up to eleven pixels further.
    constexpr int nibbleBytes = EqualityStretch + 12;
    if (highFirst) {
        SplitNibbles(bytes, pixels_.data(), nibbleBytes, true);
        StreamEqualities(pixels_.data(), highFirst_.data(), 2 * EqualityStretch + 8);
    }
    if (lowFirst) {
        SplitNibbles(bytes, pixels_.data(), nibbleBytes, false);
        StreamEqualities(pixels_.data(), lowFirst_.data(), 2 * EqualityStretch + 8);
    }
}

}  // namespace search
