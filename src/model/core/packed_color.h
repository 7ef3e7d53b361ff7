#pragma once

#include <array>
#include <cstdint>

// A color as one 32-bit value: red in bits 0-7, green in bits 8-15, blue in
// bits 16-23, bits 24-31 zero. Palette files and console encodings are
// converted to and from this form.
using PackedColor = std::uint32_t;

// Palette tables: the working palette and a stored color set (256
// entries) and the NES's 64 colors.
using Palette256 = std::array<PackedColor, 256>;
using WorkingPaletteTable = Palette256;
using NesColorTable = std::array<PackedColor, 64>;

constexpr PackedColor MakePackedColor(int red, int green, int blue)
{
    return static_cast<PackedColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

constexpr int RedOf(PackedColor color)
{
    return static_cast<int>(color & 0xFF);
}
constexpr int GreenOf(PackedColor color)
{
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int BlueOf(PackedColor color)
{
    return static_cast<int>((color >> 16) & 0xFF);
}
