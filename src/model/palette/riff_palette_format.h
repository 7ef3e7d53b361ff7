#pragma once

#include "model/palette/palette_load.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The Microsoft RIFF palette (.pal), one set of 256 colors, 1052 bytes:
// RiffHeader, 256 entries of red, green, blue and a flags byte, and four
// trailing bytes.

// "RIFF", size 1044, "PAL ", "data", chunk size 1032, version 0x300, 256
// entries.
extern const std::array<std::uint8_t, 24> RiffHeader;

inline constexpr std::size_t RiffPaletteSize = 1052;

// RiffHeader, 256 entries red, green, blue, 0, and four zero bytes.
std::vector<std::uint8_t> BuildRiffPalette(const Palette256& colors);

// One set "RIFF palette"; refuses any size but 1052 and any other header.
PaletteLoad ReadRiffPalette(const std::vector<std::uint8_t>& bytes);

// Writes the selected set; a file of another size is refused before it is
// read.
extern const PaletteFileFormat RiffPaletteFile;
