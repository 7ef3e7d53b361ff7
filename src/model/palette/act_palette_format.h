#pragma once

#include "model/palette/palette_load.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Adobe's color table (.act): 256 colors of red, green and blue bytes, 768
// bytes, optionally followed by a 4-byte trailer: the number of colors in
// use and the transparent color's index (0xFFFF for none), both 16-bit
// big-endian.

inline constexpr std::size_t ActColorBytes = 768;
inline constexpr std::size_t ActTrailerBytes = 4;
inline constexpr std::uint16_t ActNoTransparentColor = 0xFFFF;

// The 768 bytes of all 256 colors. No trailer: a set always uses its 256
// colors and has no transparent one, which a file without it says too, and
// every reader of the format takes that file.
std::vector<std::uint8_t> BuildActPalette(const Palette256& colors);

// One set "ACT palette": with a trailer only its number of colors come from
// the file, black after them; the transparent index is not used. Refuses a
// size but 768 or 772 and a count outside 1-256, each naming the value
// found.
PaletteLoad ReadActPalette(const std::vector<std::uint8_t>& bytes);

// Writes the selected set; a file of another size is refused before it is
// read.
extern const PaletteFileFormat ActPaletteFile;
