#pragma once

#include "model/core/editor_cells.h"

#include <array>
#include <cstdint>
#include <string>

// The pattern window's stored editor arrangements, as data; their
// operations and file live with the editor code.

// An arrangement of the editor's 256 file addresses: which tile of the ROM
// sits in which cell. Addresses are 0 or above, or EmptySlot.
struct AddressPattern {
    std::string Description;  // single-byte characters, no 0 byte
    std::array<std::int32_t, EditorSlotCount> Addresses{};

    bool operator==(const AddressPattern&) const = default;
};

inline constexpr int MaxPatternCount = 64;
// Add stops one short of the table's size; a loaded file may fill it.
inline constexpr int AddPatternLimit = 63;

// The pattern window's table; patterns 0 .. PatternCount - 1 are in use.
struct PatternList {
    std::array<AddressPattern, MaxPatternCount> Patterns{};
    std::int16_t PatternCount = 0;

    bool operator==(const PatternList&) const = default;
};
