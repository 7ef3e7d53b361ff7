#pragma once

#include "model/palette/palette_load.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Paint Shop Pro's text palette (.pal): the lines "JASC-PAL", "0100" and the
// number of colors, then one line "R G B" per color, decimal 0-255
// separated by single spaces. Written with CRLF line ends; read with CRLF
// or LF; blanks around a line and more blanks between the numbers are
// passed over, and lines after the last color are ignored.

inline constexpr int JascMaxColors = 256;

// 256 colors take about 3.3 KB; a file is read up to this much.
inline constexpr std::size_t JascReadLimit = 1024 * 1024;

// All 256 colors of the set.
std::vector<std::uint8_t> BuildJascPalette(const Palette256& colors);

// One set "JASC palette": the file's colors from entry 0 on, black after
// them. Refuses a wrong header, a count outside 1-256 and a missing or
// malformed color line, each with its own second line.
PaletteLoad ReadJascPalette(const std::vector<std::uint8_t>& bytes);

// Writes the selected set.
extern const PaletteFileFormat JascPaletteFile;
