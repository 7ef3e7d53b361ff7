#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The start positions of data's suffixes in sorted order, built in linear
// time (induced sorting), so packers can find their longest matches exactly.
std::vector<std::int32_t> SuffixArray(std::span<const std::uint8_t> data);

// Entry k: how many leading bytes the suffixes at suffixArray[k - 1] and
// suffixArray[k] share; entry 0 is 0.
std::vector<std::int32_t> CommonPrefixLengths(std::span<const std::uint8_t> data,
                                              std::span<const std::int32_t> suffixArray);
