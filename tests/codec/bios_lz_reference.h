#pragma once

// For the LZ77 and LZ11 tests: a reader of both BIOS LZ formats written
// straight from their description (not the codecs' code), and the smallest
// and the greedy stream sizes found the slow, obvious way.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct ReferenceDecoded {
    bool Ok = false;
    std::vector<std::uint8_t> Bytes;
    std::size_t Consumed = 0;
    std::vector<std::size_t> Distances;  // of every reference, in order
};

// type 0x10: length - 3 and distance - 1 in 4 + 12 bits. type 0x11: the
// first nibble is length - 1 (2..15), or 0 / 1 for length - 17 in 8 bits /
// length - 273 in 16 bits, then distance - 1 in 12 bits.
inline ReferenceDecoded ReferenceDecode(const std::vector<std::uint8_t>& in)
{
    ReferenceDecoded out;
    if (in.size() < 4 || (in[0] != 0x10 && in[0] != 0x11))
        return out;
    const std::size_t size = in[1] | in[2] << 8 | in[3] << 16;
    std::size_t at = 4;
    bool cut = false;
    auto next = [&]() -> int {
        cut = cut || at >= in.size();
        return cut ? 0 : in[at++];
    };
    while (out.Bytes.size() < size) {
        const int flags = next();
        for (int bit = 7; bit >= 0 && out.Bytes.size() < size; --bit) {
            if (!(flags >> bit & 1)) {
                const int literal = next();
                if (cut)
                    return out;
                out.Bytes.push_back(static_cast<std::uint8_t>(literal));
                continue;
            }
            const int b0 = next(), b1 = next();
            std::size_t length = (b0 >> 4) + 3, high = b0 & 0x0F, low = b1;
            if (in[0] == 0x11 && b0 >> 4 >= 2) {
                length = (b0 >> 4) + 1;
            } else if (in[0] == 0x11 && b0 >> 4 == 0) {
                const int b2 = next();
                length = ((b0 & 0x0F) << 4 | b1 >> 4) + 17, high = b1 & 0x0F, low = b2;
            } else if (in[0] == 0x11) {
                const int b2 = next(), b3 = next();
                length = ((b0 & 0x0F) << 12 | b1 << 4 | b2 >> 4) + 273, high = b2 & 0x0F, low = b3;
            }
            const std::size_t distance = (high << 8 | low) + 1;
            if (cut || distance > out.Bytes.size() || out.Bytes.size() + length > size)
                return out;
            out.Distances.push_back(distance);
            for (std::size_t k = 0; k < length; ++k)
                out.Bytes.push_back(out.Bytes[out.Bytes.size() - distance]);
        }
    }
    out.Ok = true;
    out.Consumed = at;
    return out;
}

// Bits of a reference of the given length: LZ77 only up to 18, LZ11 by its
// token size; flag bit included.
inline std::size_t Lz77ReferenceBits(std::size_t length)
{
    return length <= 18 ? 17 : 1000000;
}
inline std::size_t Lz11ReferenceBits(std::size_t length)
{
    return length <= 16 ? 17 : length <= 272 ? 25 : 33;
}

struct ParseSizes {
    std::size_t OptimalBytes, GreedyBytes;  // header excluded
};

// Longest matches by comparing at every distance (from the end, so a match
// is the one after it plus one), then every length at every position
// (optimal) or always the longest (greedy).
template <typename ReferenceBits>
ParseSizes BruteForceSizes(const std::vector<std::uint8_t>& data, std::size_t minDistance, std::size_t maxLength,
                           ReferenceBits referenceBits)
{
    const std::size_t n = data.size();
    std::vector<std::size_t> longest(n, 0), matched(n + 1, 0);
    for (std::size_t d = minDistance; d <= 4096 && d < n; ++d)
        for (std::size_t i = n; i-- > d;) {
            matched[i] = data[i] == data[i - d] ? matched[i + 1] + 1 : 0;
            longest[i] = std::max(longest[i], std::min(matched[i], maxLength));
        }
    std::vector<std::size_t> best(n + 1, 0);
    for (std::size_t i = n; i-- > 0;) {
        best[i] = best[i + 1] + 9;
        for (std::size_t length = 3; length <= longest[i]; ++length)
            best[i] = std::min(best[i], best[i + length] + referenceBits(length));
    }
    std::size_t greedy = 0;
    for (std::size_t i = 0; i < n;) {
        const bool reference = longest[i] >= 3;
        greedy += reference ? referenceBits(longest[i]) : 9;
        i += reference ? longest[i] : 1;
    }
    return {(best[0] + 7) / 8, (greedy + 7) / 8};
}
