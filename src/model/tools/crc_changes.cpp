#include "model/tools/crc_changes.h"

#include <zlib.h>

#include <array>

namespace {

// The polynomial with its bits reversed: bit 31 is the coefficient of x^0.
constexpr std::uint32_t Polynomial = 0xEDB88320;

// a * b modulo the polynomial, in the reversed bit order.
std::uint32_t MultiplyModP(std::uint32_t a, std::uint32_t b)
{
    std::uint32_t product = 0;
    for (std::uint32_t bit = 1u << 31; bit != 0; bit >>= 1) {
        if (a & bit)
            product ^= b;
        b = (b & 1) ? (b >> 1) ^ Polynomial : b >> 1;
    }
    return product;
}

// Multiplication by x^(8 * 2^k) for every k, byte by byte: one table of
// 256 entries per byte of the multiplied value. Files stay below 4 GiB.
struct ZeroShifts {
    static constexpr int Powers = 32;
    std::array<std::array<std::array<std::uint32_t, 256>, 4>, Powers> Tables;

    ZeroShifts()
    {
        std::uint32_t power = 1u << (31 - 8);  // x^8: one zero byte
        for (int k = 0; k < Powers; ++k) {
            for (int j = 0; j < 4; ++j) {
                auto& table = Tables[k][j];
                table[0] = 0;
                for (int bit = 0; bit < 8; ++bit)
                    table[1 << bit] = MultiplyModP(power, 1u << (8 * j + bit));
                // The product is linear: each entry is the XOR of its bits'.
                for (int value = 1; value < 256; ++value)
                    table[value] = table[value & (value - 1)] ^ table[value & -value];
            }
            power = MultiplyModP(power, power);
        }
    }

    // state * x^(8 * count).
    std::uint32_t Shift(std::uint32_t state, std::int64_t count) const
    {
        for (int k = 0; count > 0 && k < Powers; ++k, count >>= 1)
            if (count & 1) {
                const auto& tables = Tables[k];
                state = tables[0][state & 0xFF] ^ tables[1][(state >> 8) & 0xFF] ^ tables[2][(state >> 16) & 0xFF] ^
                        tables[3][state >> 24];
            }
        return state;
    }
};

const ZeroShifts& Shifts()
{
    static const ZeroShifts shifts;
    return shifts;
}

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const std::uint8_t* bytes, std::size_t size)
{
    // zlib takes at most 4 GiB at once.
    while (size > 0) {
        const std::size_t part = size < (std::size_t{1} << 30) ? size : std::size_t{1} << 30;
        crc = static_cast<std::uint32_t>(::crc32(crc, bytes, static_cast<uInt>(part)));
        bytes += part;
        size -= part;
    }
    return crc;
}

std::uint32_t CombineCrc32(std::uint32_t first, std::uint32_t second, std::int64_t secondLength)
{
    // The constants the CRC starts and ends with cancel between the three.
    return Shifts().Shift(first, secondLength) ^ second;
}

void CrcOfChanges::Add(std::int64_t offset, std::span<const std::uint8_t> difference)
{
    // zlib's CRC inverts the state before and after; undone on both sides,
    // it goes on from the state without constants.
    state_ = Shifts().Shift(state_, offset - end_);
    state_ = ~Crc32(~state_, difference.data(), difference.size());
    end_ = offset + static_cast<std::int64_t>(difference.size());
}

std::uint32_t CrcOfChanges::After(std::uint32_t before) const
{
    return before ^ Shifts().Shift(state_, length_ - end_);
}
