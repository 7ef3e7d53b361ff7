#include "core/reference_codec.h"

#include "model/core/mode_table.h"

namespace {

int Bit(std::uint8_t value, int n)
{
    return (value >> n) & 1;
}

void SetBit(std::uint8_t& value, int n, int bit)
{
    if (bit)
        value = static_cast<std::uint8_t>(value | (1 << n));
}

// The value an index is written as when it is above the mode's maximum.
int Reduce(std::uint8_t mode, int x, int p)
{
    switch (mode) {
    case ModeOneBit:
        return p != 0 ? 1 : 0;
    case ModeGameboy:
    case ModeNes:
        return p & 3;
    case ModeNeoGeoPocket:
    case ModeVirtualBoy:
        return p > 3 ? 3 : p;
    case ModeSnes3bpp:
        return p > 7 ? 7 : p;
    case ModeSnes4bpp:
        return p & 15;
    case ModeGgMsWsc:
        return p > 15 ? 15 : p;
    case ModeSegaGenesis:
        return x % 2 == 0 ? (p & 15) : (p > 15 ? 15 : p);
    case ModeGba4bpp:
        return x % 2 == 0 ? (p > 15 ? 15 : p) : (p & 15);
    default:
        return p;
    }
}

}  // namespace

std::array<std::uint8_t, 64> ReferenceDecode(std::uint8_t mode, const std::vector<std::uint8_t>& b)
{
    std::array<std::uint8_t, 64> pixels{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            int p = 0;
            const int w = b.size() >= 16 ? b[2 * y] + 256 * b[2 * y + 1] : 0;
            switch (mode) {
            case ModeOneBit:
                p = Bit(b[y], 7 - x);
                break;
            case ModeGameboy:
                p = Bit(b[2 * y], 7 - x) + 2 * Bit(b[2 * y + 1], 7 - x);
                break;
            case ModeNes:
                p = Bit(b[y], 7 - x) + 2 * Bit(b[y + 8], 7 - x);
                break;
            case ModeNeoGeoPocket:
                p = (w >> (14 - 2 * x)) & 3;
                break;
            case ModeVirtualBoy:
                p = (w >> (2 * x)) & 3;
                break;
            case ModeSnes3bpp:
                p = Bit(b[2 * y], 7 - x) + 2 * Bit(b[2 * y + 1], 7 - x) + 4 * Bit(b[16 + y], 7 - x);
                break;
            case ModeSnes4bpp:
                p = Bit(b[2 * y], 7 - x) + 2 * Bit(b[2 * y + 1], 7 - x) + 4 * Bit(b[16 + 2 * y], 7 - x) +
                    8 * Bit(b[17 + 2 * y], 7 - x);
                break;
            case ModeSegaGenesis:
                p = x % 2 == 0 ? b[4 * y + x / 2] >> 4 : b[4 * y + x / 2] & 15;
                break;
            case ModeGgMsWsc:
                p = Bit(b[4 * y], 7 - x) + 2 * Bit(b[4 * y + 1], 7 - x) + 4 * Bit(b[4 * y + 2], 7 - x) +
                    8 * Bit(b[4 * y + 3], 7 - x);
                break;
            case ModeGba4bpp:
                p = x % 2 == 0 ? b[4 * y + x / 2] & 15 : b[4 * y + x / 2] >> 4;
                break;
            case ModeGba8bpp:
                p = b[8 * y + x];
                break;
            case ModeSnes8bpp:
                for (int q = 0, scale = 1; q < 4; ++q, scale *= 4)
                    p += scale * (Bit(b[16 * q + 2 * y], 7 - x) + 2 * Bit(b[16 * q + 2 * y + 1], 7 - x));
                break;
            }
            pixels[y * 8 + x] = static_cast<std::uint8_t>(p);
        }
    return pixels;
}

std::vector<std::uint8_t> ReferenceEncode(std::uint8_t mode, const std::array<std::uint8_t, 64>& pixels)
{
    std::vector<std::uint8_t> b(static_cast<std::size_t>(StandardModes[mode].BytesPerTile), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const int p = Reduce(mode, x, pixels[y * 8 + x]);
            switch (mode) {
            case ModeOneBit:
                SetBit(b[y], 7 - x, p);
                break;
            case ModeGameboy:
                SetBit(b[2 * y], 7 - x, Bit(p, 0));
                SetBit(b[2 * y + 1], 7 - x, Bit(p, 1));
                break;
            case ModeNes:
                SetBit(b[y], 7 - x, Bit(p, 0));
                SetBit(b[8 + y], 7 - x, Bit(p, 1));
                break;
            case ModeNeoGeoPocket: {
                // Byte 2y+1 holds pixels 0-3, byte 2y pixels 4-7; the k-th
                // pixel of a byte has its high bit at 7-2k.
                auto& target = x < 4 ? b[2 * y + 1] : b[2 * y];
                const int k = x % 4;
                SetBit(target, 7 - 2 * k, Bit(p, 1));
                SetBit(target, 6 - 2 * k, Bit(p, 0));
                break;
            }
            case ModeVirtualBoy: {
                auto& target = x < 4 ? b[2 * y] : b[2 * y + 1];
                const int m = x % 4;
                SetBit(target, 2 * m + 1, Bit(p, 1));
                SetBit(target, 2 * m, Bit(p, 0));
                break;
            }
            case ModeSnes3bpp:
                SetBit(b[2 * y], 7 - x, Bit(p, 0));
                SetBit(b[2 * y + 1], 7 - x, Bit(p, 1));
                SetBit(b[16 + y], 7 - x, Bit(p, 2));
                break;
            case ModeSnes4bpp:
                SetBit(b[2 * y], 7 - x, Bit(p, 0));
                SetBit(b[2 * y + 1], 7 - x, Bit(p, 1));
                SetBit(b[16 + 2 * y], 7 - x, Bit(p, 2));
                SetBit(b[17 + 2 * y], 7 - x, Bit(p, 3));
                break;
            case ModeSegaGenesis:
                b[4 * y + x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? p << 4 : p);
                break;
            case ModeGgMsWsc:
                for (int n = 0; n < 4; ++n)
                    SetBit(b[4 * y + n], 7 - x, Bit(p, n));
                break;
            case ModeGba4bpp:
                b[4 * y + x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? p : p << 4);
                break;
            case ModeGba8bpp:
                b[8 * y + x] = static_cast<std::uint8_t>(p);
                break;
            case ModeSnes8bpp:
                for (int q = 0; q < 4; ++q) {
                    SetBit(b[16 * q + 2 * y], 7 - x, Bit(p, 2 * q));
                    SetBit(b[16 * q + 2 * y + 1], 7 - x, Bit(p, 2 * q + 1));
                }
                break;
            }
        }
    return b;
}
