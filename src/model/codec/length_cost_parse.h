#pragma once

#include "model/codec/longest_match_table.h"

#include <cstdint>
#include <span>

// The cheapest cut of an input into literals and back references for LZ
// formats where a reference costs by its length only, in bits (flag bits
// included), whatever its distance.

// References of MinLength..MaxLength cost Bits each.
struct LengthCost {
    std::uint32_t MinLength;
    std::uint32_t MaxLength;
    std::uint32_t Bits;
};

// references: contiguous length ranges in increasing order, the first
// starting at ShortestMatch or above. Rewrites the table in place: from
// position 0, Length(at) is the length of the token chosen there (1 for a
// literal) and Distance(at) its distance; the next token starts at
// at + Length(at). Returns the bits of all tokens. Time linear in the input.
std::uint64_t CheapestParse(LongestMatchTable& table, std::uint32_t literalBits,
                            std::span<const LengthCost> references);
