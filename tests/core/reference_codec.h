#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Slow, obvious tile codecs written bit by bit straight from the byte-order
// tables, to check the fast ones against.
std::array<std::uint8_t, 64> ReferenceDecode(std::uint8_t mode, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReferenceEncode(std::uint8_t mode, const std::array<std::uint8_t, 64>& pixels);
