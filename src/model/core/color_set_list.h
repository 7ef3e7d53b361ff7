#pragma once

#include "model/core/packed_color.h"

#include <array>
#include <cstdint>
#include <string>

// The color set window's stored palettes, as data; their operations and
// files live with the palette code.

// One stored palette: 256 colors and the name shown in the list.
struct ColorSetEntry {
    Palette256 Colors{};
    std::string Description;  // single-byte characters, no 0 byte

    bool operator==(const ColorSetEntry&) const = default;
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

    bool operator==(const ColorSetList&) const = default;
};
