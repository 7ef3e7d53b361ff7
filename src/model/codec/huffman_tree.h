#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The code tables of the GBA and DS BIOS Huffman format.

// Lengths of the cheapest prefix code for these symbol weights (one a
// symbol, at least two) whose longest code has at most maxLength bits
// (package-merge); 2^maxLength must reach the number of symbols. With
// maxLength at least weights.size() - 1 it is a plain optimal Huffman code.
std::vector<int> LimitedCodeLengths(std::span<const std::uint64_t> weights, int maxLength);

struct HuffmanCode {
    // The tree table as the stream holds it: its size byte ((bytes / 2) - 1)
    // first, then the root node; a whole number of 32-bit words.
    std::vector<std::uint8_t> Table;
    // Each symbol's code, first bit highest, and its length (0: not used).
    std::array<std::uint64_t, 256> Codes{};
    std::array<int, 256> Lengths{};
};

// The optimal code for these symbol counts (16 or 256 of them) laid out
// so that every child offset fits in its node's 6 bits; nullopt when no
// symbol occurs. A lone symbol gets a second, unused one, as the tree
// needs two leaves.
std::optional<HuffmanCode> BuildHuffmanCode(std::span<const std::uint64_t> counts);
