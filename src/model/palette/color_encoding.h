#pragma once

#include "model/core/packed_color.h"

#include <array>
#include <cstdint>
#include <string_view>

// The console color encodings, in the order of the encoding list.
enum PaletteEncoding : std::uint8_t {
    EncodingRgb15 = 0,  // "15 bpc RGB": red in bits 10-14, blue in bits 0-4
    EncodingBgr15 = 1,  // "15 bpc BGR (SNES)": red in bits 0-4, blue in bits 10-14
    EncodingNes = 2,    // "6 bpc NES": one byte, an index into the NES master colors
};

struct PaletteFormat {
    std::string_view FormatName;
    std::uint8_t BytesPerColor;
};

inline constexpr std::array<PaletteFormat, 3> PaletteFormats{{
    {"15 bpc RGB", 2},
    {"15 bpc BGR (SNES)", 2},
    {"6 bpc NES", 1},
}};


// A stored value (a 15-bit word, bit 15 ignored, or an NES byte) as a color.
// A 5-bit channel c becomes 8c, so 31 becomes 248.
PackedColor ColToRGB(std::uint32_t value, std::uint8_t encoding, const NesColorTable& nesColors);

// A color as a 15-bit word of the encoding (each channel divided by 8, bit
// 15 zero). The NES encoding has no conversion and gives 0.
std::uint16_t RGBToCol(PackedColor color, std::uint8_t encoding);

// A Cygne (WonderSwan) 12-bit word: blue in bits 0-3, green 4-7, red 8-11,
// each multiplied by 16.
PackedColor CygneToRGB(std::uint16_t word);
