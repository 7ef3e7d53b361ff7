#pragma once

#include "model/core/packed_color.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The console color encodings, in the order of the encoding list.
enum PaletteEncoding : std::uint8_t {
    EncodingRgb15 = 0,  // "15 bpc RGB": red in bits 10-14, blue in bits 0-4
    EncodingBgr15 = 1,  // "15 bpc BGR (SNES)": red in bits 0-4, blue in bits 10-14
    EncodingNes = 2,    // "6 bpc NES": one byte, an index into the NES master colors
    // The encodings below keep the same 0BGR-style channel order and widen a
    // channel by repeating its bits, so full intensity is 255.
    EncodingMd9 = 3,     // big-endian word 0000 BBB0 GGG0 RRR0
    EncodingSms6 = 4,    // one byte 00BBGGRR
    EncodingGg12 = 5,    // little-endian word 0000 BBBB GGGG RRRR
    EncodingNgpc12 = 6,  // little-endian word 0000 BBBB GGGG RRRR
    EncodingGba15 = 7,   // the bits of EncodingBgr15, widened by repeating
};

struct PaletteFormat {
    std::string_view FormatName;
    std::uint8_t BytesPerColor;
    bool BigEndian = false;
    std::string_view ShortName = {};  // the command line's name
};

inline constexpr std::array<PaletteFormat, 8> PaletteFormats{{
    {"15 bpc RGB", 2, false, "rgb15"},
    {"15 bpc BGR (SNES)", 2, false, "bgr15"},
    {"6 bpc NES", 1, false, "nes"},
    {"9 bpc BGR (Mega Drive)", 2, true, "md9"},
    {"6 bpc BGR (Master System)", 1, false, "sms6"},
    {"12 bpc BGR (Game Gear/WonderSwan Color)", 2, false, "gg12"},
    {"12 bpc BGR (Neo Geo Pocket Color)", 2, false, "ngpc12"},
    {"15 bpc BGR (GBA/NDS)", 2, false, "gba15"},
}};

// The encoding of a command-line short name; nullopt for none.
std::optional<std::uint8_t> PaletteEncodingNamed(std::string_view shortName);

// The bits of a stored value the encoding uses; writing a color keeps the
// others as they were. 0 for the NES encoding, which is never written.
std::uint16_t EncodingValueMask(std::uint8_t encoding);

// The stored value of one color from its bytes, in the encoding's byte order.
std::uint32_t StoredValue(const std::uint8_t* bytes, std::uint8_t encoding);
void StoreValue(std::uint16_t value, std::uint8_t* bytes, std::uint8_t encoding);

// A stored value (a 15-bit word, bit 15 ignored, or an NES byte) as a color.
// For the first two encodings a 5-bit channel c becomes 8c, so 31 becomes
// 248; the later ones repeat a channel's bits, so 31 becomes 255.
PackedColor ColToRGB(std::uint32_t value, std::uint8_t encoding, const NesColorTable& nesColors);

// A color as a 15-bit word of the encoding (each channel divided by 8, bit
// 15 zero). The later encodings take for each channel the nearest stored
// level, the lower one on a tie; bits outside EncodingValueMask are zero.
// The NES encoding has no conversion and gives 0.
std::uint16_t RGBToCol(PackedColor color, std::uint8_t encoding);

// The color's stored value in each encoding from EncodingMd9 on, one line
// each: "9 bpc BGR (Mega Drive): 0EEE", as many digits as the value's bytes.
std::string RepeatedEncodingValuesText(PackedColor color);

// A Cygne (WonderSwan) 12-bit word: blue in bits 0-3, green 4-7, red 8-11,
// each multiplied by 16.
PackedColor CygneToRGB(std::uint16_t word);
