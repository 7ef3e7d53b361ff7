#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The smallest LC_LZ2 stream (end mark included) that unpacks to input,
// which is not empty: an optimal parse over every command and length.
std::vector<std::uint8_t> PackLcLz2(std::span<const std::uint8_t> input);
