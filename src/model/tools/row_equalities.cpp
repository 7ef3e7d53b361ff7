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

// Positions start to start + count - 1.
bool Consecutive(const RowDecoder& decoder, int count)
{
    if (decoder.Positions.size() != static_cast<std::size_t>(count))
        return false;
    for (int j = 0; j < count; ++j)
        if (decoder.Positions[j] != decoder.Positions[0] + j)
            return false;
    return true;
}

bool IsNibbles(const RowDecoder& decoder, bool highFirst)
{
    if (!Consecutive(decoder, 4))
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

bool IsBytes(const RowDecoder& decoder)
{
    if (!Consecutive(decoder, 8))
        return false;
    for (int j = 0; j < 8; ++j)
        for (int value = 0; value < 256; ++value)
            if (decoder.Tables[j][value] != static_cast<Row>(value) << (8 * j))
                return false;
    return true;
}

RowLayout MakeRowLayout(const RowDecoder& decoder)
{
    const int start = decoder.Positions.empty() ? 0 : decoder.Positions[0];
    if (IsBytes(decoder) && start <= 8)
        return {RowSource::Bytes, start};
    if (IsPlanes(decoder))
        return {RowSource::Planes, 0};
    if (IsNibbles(decoder, true) && start <= 4)
        return {RowSource::HighNibbleFirst, start};
    if (IsNibbles(decoder, false) && start <= 4)
        return {RowSource::LowNibbleFirst, start};
    return {};
}

// Per pixel k of a stream, which of the next KeyDistance pixels equal it;
// reads count + KeyDistance pixels. Written byte by byte so that the
// compiler compares many pixels at once.
void StreamEqualities(const std::uint8_t* pixels, std::uint8_t* equalities, int count)
{
    for (int k = 0; k < count; ++k)
        equalities[k] =
            static_cast<std::uint8_t>((pixels[k] == pixels[k + 1]) | (pixels[k] == pixels[k + 2]) << 1 |
                                      (pixels[k] == pixels[k + 3]) << 2 | (pixels[k] == pixels[k + 4]) << 3);
}

// The two pixels of each byte, in stream order.
void SplitNibbles(const std::uint8_t* bytes, std::uint8_t* pixels, int count, bool highFirst)
{
    const int first = highFirst ? 4 : 0;
    const int second = 4 - first;
    for (int n = 0; n < count; ++n) {
        pixels[2 * n] = static_cast<std::uint8_t>((bytes[n] >> first) & 15);
        pixels[2 * n + 1] = static_cast<std::uint8_t>((bytes[n] >> second) & 15);
    }
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

RowLayout RowLayoutOf(GraphicsMode mode, int y)
{
    static const auto layouts = [] {
        std::array<std::array<RowLayout, 2>, ModeCount> all{};
        for (int m = 0; m < ModeCount; ++m)
            for (int row = 0; row < 2; ++row)
                all[m][row] = MakeRowLayout(RowDecoderOf(static_cast<GraphicsMode>(m), row));
        return all;
    }();
    return layouts[mode][y];
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
    // Rows starting up to 8 bytes into the tile: keys read up to stream
    // entry EqualityStretch + 14.
    if (linear)
        StreamEqualities(bytes, bytes_.data(), EqualityStretch + 16);
    // Two pixels per byte, rows starting up to 4 bytes into the tile: keys
    // read up to pixel 2 * EqualityStretch + 14, whose equalities look four
    // pixels further.
    constexpr int nibbleBytes = EqualityStretch + 10;
    if (highFirst) {
        SplitNibbles(bytes, pixels_.data(), nibbleBytes, true);
        StreamEqualities(pixels_.data(), highFirst_.data(), 2 * EqualityStretch + 16);
    }
    if (lowFirst) {
        SplitNibbles(bytes, pixels_.data(), nibbleBytes, false);
        StreamEqualities(pixels_.data(), lowFirst_.data(), 2 * EqualityStretch + 16);
    }
}

}  // namespace search
