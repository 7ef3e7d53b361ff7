#pragma once

#include "model/palette/palette_load.h"

#include <cstdint>
#include <vector>

// A list of hex colors (.hex), as Lospec exports palettes: one color a line
// as 6 hex digits RRGGBB. Blanks around a line, CR before LF and empty
// lines are passed over.

// All 256 colors of the set as "rrggbb" (lower case, as Lospec writes),
// each line ended by LF.
std::vector<std::uint8_t> BuildHexPalette(const Palette256& colors);

// One set "Hex palette": the file's colors from entry 0 on, black after
// them. A line that is no color, a 257th color or none at all is refused,
// naming the line.
PaletteLoad ReadHexPalette(const std::vector<std::uint8_t>& bytes);

// Writes the selected set.
extern const PaletteFileFormat HexPaletteFile;
