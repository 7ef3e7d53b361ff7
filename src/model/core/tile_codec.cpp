#include "model/core/tile_codec.h"

#include "model/core/mode_table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the row tables below store pixel x in byte x of a 64-bit word");

namespace {

// A row of eight pixels is handled as one 64-bit word whose byte x (in memory
// order) is pixel x.
using Row = std::uint64_t;

// Spreads the bits of a plane byte over a row: pixel x gets bit 7-x in bit 0.
constexpr std::array<Row, 256> MakePlaneTable()
{
    std::array<Row, 256> table{};
    for (int value = 0; value < 256; ++value)
        for (int x = 0; x < 8; ++x)
            table[value] |= static_cast<Row>((value >> (7 - x)) & 1) << (8 * x);
    return table;
}

// Four 2-bit pixels of one byte, left pixel in the top bits (Neo Geo Pocket)
// or in the bottom bits (Virtual Boy); pixel k in byte k of the result.
constexpr std::array<std::uint32_t, 256> MakePairTable(bool leftInTopBits)
{
    std::array<std::uint32_t, 256> table{};
    for (int value = 0; value < 256; ++value)
        for (int k = 0; k < 4; ++k) {
            const int shift = leftInTopBits ? 6 - 2 * k : 2 * k;
            table[value] |= static_cast<std::uint32_t>((value >> shift) & 3) << (8 * k);
        }
    return table;
}

constexpr auto PlaneTable = MakePlaneTable();
constexpr auto NeoGeoTable = MakePairTable(true);
constexpr auto VirtualBoyTable = MakePairTable(false);

inline Row Plane(std::uint8_t value, int bit)
{
    return PlaneTable[value] << bit;
}

inline void StoreRow(std::uint8_t* pixels, int y, Row row)
{
    std::memcpy(pixels + 8 * y, &row, 8);
}

inline Row LoadRow(const std::uint8_t* pixels, int y)
{
    Row row;
    std::memcpy(&row, pixels + 8 * y, 8);
    return row;
}

// Gathers bit `bit` of each pixel of a row into one plane byte, pixel x at
// bit 7-x. The multiplier moves byte x's bit to bit 63-x without carries.
inline std::uint8_t GatherPlane(Row row, int bit)
{
    return static_cast<std::uint8_t>((((row >> bit) & 0x0101010101010101ULL) * 0x8040201008040201ULL) >> 56);
}

// Per-pixel reductions of indices above a mode's largest value.
inline std::uint8_t Saturate(std::uint8_t value, std::uint8_t max)
{
    return std::min(value, max);
}

Row SaturateRow(Row row, std::uint8_t max)
{
    std::uint8_t px[8];
    std::memcpy(px, &row, 8);
    for (auto& p : px)
        p = Saturate(p, max);
    std::memcpy(&row, px, 8);
    return row;
}

Row NonZeroRow(Row row)
{
    std::uint8_t px[8];
    std::memcpy(px, &row, 8);
    for (auto& p : px)
        p = p != 0;
    std::memcpy(&row, px, 8);
    return row;
}

}  // namespace

void DecodeTile(std::uint8_t mode, const std::uint8_t* b, std::uint8_t* pixels)
{
    switch (mode) {
    case ModeOneBit:
        for (int y = 0; y < 8; ++y)
            StoreRow(pixels, y, Plane(b[y], 0));
        break;
    case ModeGameboy:
        for (int y = 0; y < 8; ++y)
            StoreRow(pixels, y, Plane(b[2 * y], 0) | Plane(b[2 * y + 1], 1));
        break;
    case ModeNes:
        for (int y = 0; y < 8; ++y)
            StoreRow(pixels, y, Plane(b[y], 0) | Plane(b[y + 8], 1));
        break;
    case ModeNeoGeoPocket:
        // The row's second byte holds pixels 0-3, its first byte pixels 4-7.
        for (int y = 0; y < 8; ++y)
            StoreRow(pixels, y, NeoGeoTable[b[2 * y + 1]] | (static_cast<Row>(NeoGeoTable[b[2 * y]]) << 32));
        break;
    case ModeVirtualBoy:
        for (int y = 0; y < 8; ++y)
            StoreRow(pixels, y, VirtualBoyTable[b[2 * y]] | (static_cast<Row>(VirtualBoyTable[b[2 * y + 1]]) << 32));
        break;
    case ModeSnes3bpp:
        for (int y = 0; y < 8; ++y)
            StoreRow(pixels, y, Plane(b[2 * y], 0) | Plane(b[2 * y + 1], 1) | Plane(b[16 + y], 2));
        break;
    case ModeSnes4bpp:
        for (int y = 0; y < 8; ++y)
            StoreRow(pixels, y,
                     Plane(b[2 * y], 0) | Plane(b[2 * y + 1], 1) | Plane(b[16 + 2 * y], 2) | Plane(b[17 + 2 * y], 3));
        break;
    case ModeSnes8bpp:
        for (int y = 0; y < 8; ++y) {
            Row row = 0;
            for (int block = 0; block < 4; ++block)
                row |= Plane(b[16 * block + 2 * y], 2 * block) | Plane(b[16 * block + 2 * y + 1], 2 * block + 1);
            StoreRow(pixels, y, row);
        }
        break;
    case ModeGgMsWsc:
        for (int y = 0; y < 8; ++y)
            StoreRow(pixels, y,
                     Plane(b[4 * y], 0) | Plane(b[4 * y + 1], 1) | Plane(b[4 * y + 2], 2) | Plane(b[4 * y + 3], 3));
        break;
    case ModeSegaGenesis:
        for (int i = 0; i < 32; ++i) {
            pixels[2 * i] = b[i] >> 4;
            pixels[2 * i + 1] = b[i] & 15;
        }
        break;
    case ModeGba4bpp:
        for (int i = 0; i < 32; ++i) {
            pixels[2 * i] = b[i] & 15;
            pixels[2 * i + 1] = b[i] >> 4;
        }
        break;
    case ModeGba8bpp:
        std::memcpy(pixels, b, TilePixelCount);
        break;
    default:
        std::memset(pixels, 0, TilePixelCount);
        break;
    }
}

void EncodeTile(std::uint8_t mode, const std::uint8_t* pixels, std::uint8_t* b)
{
    switch (mode) {
    case ModeOneBit:
        for (int y = 0; y < 8; ++y)
            b[y] = GatherPlane(NonZeroRow(LoadRow(pixels, y)), 0);
        break;
    case ModeGameboy:
        for (int y = 0; y < 8; ++y) {
            const Row row = LoadRow(pixels, y);
            b[2 * y] = GatherPlane(row, 0);
            b[2 * y + 1] = GatherPlane(row, 1);
        }
        break;
    case ModeNes:
        for (int y = 0; y < 8; ++y) {
            const Row row = LoadRow(pixels, y);
            b[y] = GatherPlane(row, 0);
            b[y + 8] = GatherPlane(row, 1);
        }
        break;
    case ModeNeoGeoPocket:
        for (int y = 0; y < 8; ++y) {
            const std::uint8_t* p = pixels + 8 * y;
            std::uint8_t left = 0, right = 0;
            for (int k = 0; k < 4; ++k) {
                left |= Saturate(p[k], 3) << (6 - 2 * k);
                right |= Saturate(p[4 + k], 3) << (6 - 2 * k);
            }
            b[2 * y + 1] = left;
            b[2 * y] = right;
        }
        break;
    case ModeVirtualBoy:
        for (int y = 0; y < 8; ++y) {
            const std::uint8_t* p = pixels + 8 * y;
            std::uint8_t left = 0, right = 0;
            for (int m = 0; m < 4; ++m) {
                left |= Saturate(p[m], 3) << (2 * m);
                right |= Saturate(p[4 + m], 3) << (2 * m);
            }
            b[2 * y] = left;
            b[2 * y + 1] = right;
        }
        break;
    case ModeSnes3bpp:
        for (int y = 0; y < 8; ++y) {
            const Row row = SaturateRow(LoadRow(pixels, y), 7);
            b[2 * y] = GatherPlane(row, 0);
            b[2 * y + 1] = GatherPlane(row, 1);
            b[16 + y] = GatherPlane(row, 2);
        }
        break;
    case ModeSnes4bpp:
        for (int y = 0; y < 8; ++y) {
            const Row row = LoadRow(pixels, y);
            b[2 * y] = GatherPlane(row, 0);
            b[2 * y + 1] = GatherPlane(row, 1);
            b[16 + 2 * y] = GatherPlane(row, 2);
            b[17 + 2 * y] = GatherPlane(row, 3);
        }
        break;
    case ModeSnes8bpp:
        for (int y = 0; y < 8; ++y) {
            const Row row = LoadRow(pixels, y);
            for (int block = 0; block < 4; ++block) {
                b[16 * block + 2 * y] = GatherPlane(row, 2 * block);
                b[16 * block + 2 * y + 1] = GatherPlane(row, 2 * block + 1);
            }
        }
        break;
    case ModeGgMsWsc:
        for (int y = 0; y < 8; ++y) {
            const Row row = SaturateRow(LoadRow(pixels, y), 15);
            for (int plane = 0; plane < 4; ++plane)
                b[4 * y + plane] = GatherPlane(row, plane);
        }
        break;
    case ModeSegaGenesis:
        // Left pixel in the high nibble keeps its low 4 bits; the right one saturates.
        for (int i = 0; i < 32; ++i)
            b[i] = static_cast<std::uint8_t>(((pixels[2 * i] & 15) << 4) | Saturate(pixels[2 * i + 1], 15));
        break;
    case ModeGba4bpp:
        // Left pixel in the low nibble saturates; the right one keeps its low 4 bits.
        for (int i = 0; i < 32; ++i)
            b[i] = static_cast<std::uint8_t>(Saturate(pixels[2 * i], 15) | ((pixels[2 * i + 1] & 15) << 4));
        break;
    case ModeGba8bpp:
        std::memcpy(b, pixels, TilePixelCount);
        break;
    default:
        break;
    }
}

int RowBufferPosition(std::uint8_t mode, int k)
{
    switch (mode) {
    case ModeGameboy:
    case ModeNeoGeoPocket:
    case ModeSnes4bpp:
    case ModeSnes8bpp:
        return k & 1;
    case ModeNes:
        return k < 8 ? 0 : 1;
    case ModeSnes3bpp:
        return k < 16 ? (k & 1) : 0;
    case ModeGgMsWsc:
        return k & 3;
    default:
        return 0;
    }
}
