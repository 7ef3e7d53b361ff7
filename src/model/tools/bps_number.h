#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The variable-length numbers of BPS patches: seven bits a byte, lowest group
// first, the last byte marked by bit 7. Every group after the first counts
// one more than its bits say, so each number has exactly one encoding.

inline void AppendBpsNumber(std::vector<std::uint8_t>& out, std::uint64_t value)
{
    for (;;) {
        const auto group = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        if (value == 0) {
            out.push_back(static_cast<std::uint8_t>(0x80 | group));
            return;
        }
        out.push_back(group);
        --value;
    }
}

// Reads a number at position, moving it past the number. Nothing when the
// data ends inside the number or the number runs longer than eight bytes
// (2^56 and more, far beyond any size or offset of a ROM), so the sum never
// overflows.
inline std::optional<std::uint64_t> ReadBpsNumber(const std::uint8_t* data, std::size_t size, std::size_t& position)
{
    std::uint64_t value = 0;
    std::uint64_t shift = 1;
    while (position < size) {
        const std::uint8_t byte = data[position++];
        value += (byte & 0x7F) * shift;
        if ((byte & 0x80) != 0)
            return value;
        if (shift > (std::uint64_t{1} << 42))
            return std::nullopt;
        shift <<= 7;
        value += shift;
    }
    return std::nullopt;
}
