#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The longest back reference available at every position of an input, for
// packers whose reference cost depends on the length only: every shorter
// length is then available at the same distance, so the longest match is all
// an optimal parse needs to know about a position.

struct MatchWindow {
    std::uint32_t MinDistance = 1;  // 1, or 2 to keep references off the byte just written
    std::uint32_t MaxDistance = 4096;
    std::uint32_t MaxLength = 18;
};

// The smallest match worth reporting; shorter ones come out as 0.
inline constexpr std::uint32_t ShortestMatch = 3;

// One word a position: length above, distance in the low bits.
struct LongestMatchTable {
    static constexpr int DistanceBits = 13;
    static constexpr std::uint32_t LargestDistance = (1u << DistanceBits) - 1;
    static constexpr std::uint32_t LargestLength = 0xFFFFFFFFu >> DistanceBits;

    std::vector<std::uint32_t> Entries;

    std::uint32_t Length(std::size_t at) const { return Entries[at] >> DistanceBits; }
    std::uint32_t Distance(std::size_t at) const { return Entries[at] & LargestDistance; }
    void Set(std::size_t at, std::uint32_t length, std::uint32_t distance)
    {
        Entries[at] = length << DistanceBits | distance;
    }
};

// Exact (the longest match at or above ShortestMatch, capped at MaxLength)
// for all but hostile input, where a search step limit may shorten a match.
// Length(i + 1) >= Length(i) - 1 whenever that is ShortestMatch or more,
// which the parse relies on.
// Input shorter than 2^32 bytes; MaxDistance up to LargestDistance, MaxLength
// up to LargestLength.
LongestMatchTable FindLongestMatches(std::span<const std::uint8_t> input, const MatchWindow& window);
