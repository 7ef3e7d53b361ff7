#pragma once

#include "model/palette/palette_load.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Paint.NET's palette (.txt): lines starting with ';' are comments, every
// other line one color as 8 hex digits AARRGGBB. Paint.NET's palette holds
// 96 colors. Blanks around a line, CR before LF and empty lines are passed
// over.

inline constexpr std::size_t PaintNetColors = 96;

// Two comment lines, then the first 96 colors of the set as opaque
// "FFRRGGBB" (upper case), each line ended by CR LF as Paint.NET writes.
std::vector<std::uint8_t> BuildPaintNetPalette(const Palette256& colors);

// One set "Paint.NET palette": the file's colors from entry 0 on, black
// after them; the alpha digits are ignored. Up to 256 colors are taken, as
// a set holds them; a line that is no color, a 257th color or none at all
// is refused, naming the line.
PaletteLoad ReadPaintNetPalette(const std::vector<std::uint8_t>& bytes);

// Writes the selected set's first 96 colors.
extern const PaletteFileFormat PaintNetPaletteFile;
