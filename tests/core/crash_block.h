#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// The block the crash tests' child writes: cheap to make, the same in the
// child and the test, and different at nearly every byte for two seeds.
inline std::vector<std::uint8_t> CrashBlock(std::size_t size, std::uint64_t seed)
{
    std::vector<std::uint8_t> bytes(size);
    std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    for (std::size_t at = 0; at < size; at += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(bytes.data() + at, &state, std::min<std::size_t>(8, size - at));
    }
    return bytes;
}
