#pragma once

#include "model/palette/palette_load.h"

#include <cstdint>
#include <string_view>
#include <vector>

// GIMP's text palette (.gpl): the line "GIMP Palette", optionally a line
// "Name: ..." and a line "Columns: N" (0-255), then one color a line as
// "R G B" in decimal 0-255 between any blanks, followed by a blank and an
// optional color name. Lines starting with '#' and empty lines are passed
// over anywhere after the first line. LF line ends; a CR before them is
// taken too.

// "GIMP Palette", "Name: <name>", "Columns: 16", "#", then all 256 colors
// as "%3d %3d %3d\tIndex n", each line ended by LF. The name keeps only
// the printable ASCII of the given one; "Brixel" when nothing is left.
std::vector<std::uint8_t> BuildGimpPalette(const Palette256& colors, std::string_view name);

// One set "GIMP palette": the file's colors from entry 0 on, black after
// them. Refuses a wrong first line, a bad column count, a line that is no
// color, more than 256 colors or none, naming the line.
PaletteLoad ReadGimpPalette(const std::vector<std::uint8_t>& bytes);

// Writes the selected set under its description.
extern const PaletteFileFormat GimpPaletteFile;
