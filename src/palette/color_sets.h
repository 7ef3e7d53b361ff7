#pragma once

#include "core/packed_color.h"

#include <array>
#include <cstdint>
#include <random>
#include <string>

using Palette256 = std::array<PackedColor, 256>;

// One stored palette: 256 colors and the name shown in the list.
struct ColorSetEntry {
    Palette256 Colors{};
    std::string Description;  // single-byte characters, no 0 byte
};

inline constexpr int MaxSetCount = 255;

// The list of the color set window. Only sets 0 .. SetCount - 1 are listed.
struct ColorSetList {
    std::array<ColorSetEntry, 256> ColorSets{};
    std::uint8_t SetCount = 0;
    std::uint8_t SelectedSet = 0;

    // Room as the loaders reckon it: a load of one set needs the count below
    // 255, a load of two sets (and the ZSnes and Cygne loads) below 254.
    bool HasRoomBelow(int limit) const { return SetCount < limit; }
};

// Appends a set; false (and nothing changes) when the list is full.
bool AddSet(ColorSetList& list, const Palette256& colors, const std::string& description);

// The selected set and the last set change places and the count drops by
// one; the selection stays where it was.
void DeleteSelectedSet(ColorSetList& list);

// 256 random colors: per entry three draws in [0, 1), for blue, green and
// red, each times 256 rounded half to even, 256 becoming 255.
Palette256 RandomColors(std::mt19937& random);
