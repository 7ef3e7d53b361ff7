#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The longest earlier copy of the bytes at one position: they equal the
// bytes at Source onwards for Length bytes (the copy may run into the
// position itself, as byte-by-byte copies do). Length 0: none.
struct EarlierMatch {
    std::uint32_t Source = 0;
    std::uint32_t Length = 0;
};

// For every position of data, its longest match starting at an earlier
// position no later than lastSource, at most maxLength bytes long. Exact,
// in linear time over the suffix array, whatever the distance: for formats
// that address the output absolutely.
std::vector<EarlierMatch> LongestEarlierMatches(std::span<const std::uint8_t> data, std::size_t maxLength,
                                                std::size_t lastSource);
