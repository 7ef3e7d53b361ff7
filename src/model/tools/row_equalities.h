#pragma once

#include "model/core/mode_table.h"
#include "model/tools/row_keys.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Row 0 pattern keys of every offset of a stretch of bytes, read from
// equality arrays made once per stretch and shared by the modes that lay
// their pixels out alike. A query of many tiles lets nearly every offset
// past the two-byte filters of the wide modes; this key of the whole row
// still rejects them, at a few operations per offset.
namespace search {

// Bit 8x + d - 1 says whether pixel x equals pixel x + d, for d = 1 to
// KeyDistance and x + d < 8: the pairs of RowKey, laid out so that the
// pairs of pixel x sit in byte x.
using FlatKey = std::uint64_t;

// The pairs that lie inside one row.
inline constexpr FlatKey FlatKeyMask = 0x0001'0307'0F0F'0F0FULL;

FlatKey FlatKeyOfRow(Row row);

// Where a mode's row pixels come from, as far as the arrays see it.
enum class RowSource : std::uint8_t {
    None,             // not read from the arrays
    Planes,           // each row byte gives one bit of every pixel, pixel 0 in bit 7
    HighNibbleFirst,  // four bytes of two pixels each, the first in the high nibble
    LowNibbleFirst,   // the same, the first in the low nibble
    Bytes,            // eight bytes, one pixel each
};

// A row's source and, for the streams of pixels, the tile byte it starts
// at (at most 4 for nibbles, 8 for bytes); planes name their bytes in the
// row decoder.
struct RowLayout {
    RowSource Source = RowSource::None;
    int Start = 0;
};

// Row y (0 or 1) of a mode, found by comparing its row decoder with each
// layout.
RowLayout RowLayoutOf(GraphicsMode mode, int y);

// Offsets of a stretch at most this long are keyed at once.
inline constexpr int EqualityStretch = 4096;

// The equality arrays of one stretch. Fill reads EqualityStretch + 63
// bytes from the stretch's start whatever its length.
class RowEqualities {
public:
    void Fill(const std::uint8_t* bytes, bool planes, bool highFirst, bool lowFirst, bool linear);

    // The key of row 0 of the tile at offset i of the stretch, read as its
    // mode's source says. Planes: the AND of the plane keys of the row's
    // bytes, from PlanesAt of each byte's position in the tile.
    const FlatKey* PlanesAt(int position) const { return planes_.data() + position; }
    // The same of the bytes at position and position + 1 together.
    const FlatKey* PlanePairsAt(int position) const { return planePairs_.data() + position; }
    template <int K> static FlatKey PlanesKey(const std::array<const FlatKey*, K>& planes, std::size_t i)
    {
        FlatKey key = planes[0][i];
        for (int j = 1; j < K; ++j)
            key &= planes[j][i];
        return key;
    }
    // Streams: the key of the row starting at tile byte start of offset i
    // is StreamKey(at + step * i), at from here, step 2 for nibbles.
    const std::uint8_t* HighFirstAt(int start) const { return highFirst_.data() + 2 * start; }
    const std::uint8_t* LowFirstAt(int start) const { return lowFirst_.data() + 2 * start; }
    const std::uint8_t* BytesAt(int start) const { return bytes_.data() + start; }
    static FlatKey StreamKey(const std::uint8_t* equalities)
    {
        FlatKey key;
        std::memcpy(&key, equalities, sizeof key);
        return key & FlatKeyMask;
    }

private:
    // Per byte, the pairs its bits leave equal (planes); per pixel of a
    // stream of pixels, which of the next KeyDistance pixels equal it.
    std::array<FlatKey, EqualityStretch + 64> planes_{};
    std::array<FlatKey, EqualityStretch + 64> planePairs_{};
    std::array<std::uint8_t, EqualityStretch + 16> bytes_{};
    std::array<std::uint8_t, 2 * EqualityStretch + 16> highFirst_{};
    std::array<std::uint8_t, 2 * EqualityStretch + 16> lowFirst_{};
    std::array<std::uint8_t, 2 * EqualityStretch + 24> pixels_{};
};

}  // namespace search
