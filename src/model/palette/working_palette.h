#pragma once

#include "model/core/packed_color.h"

#include <array>

// Rotates the palette by count places: left moves every entry one index down
// per place (entry 0 wraps to 255), right moves them up (255 wraps to 0).
void ShiftPaletteLeft(WorkingPaletteTable& palette, int count);
void ShiftPaletteRight(WorkingPaletteTable& palette, int count);

// The palette panel's cycles: columns 4 -> 16 -> 2 -> 4, shift count
// 1 -> 2 -> 4 -> 8 -> 16 -> 1.
int NextPaletteColumns(int columns);
int NextShiftCount(int count);
// The shift count that suits a mode: its number of colors, 16 at most.
int ShiftCountForBits(int bitsPerPixel);

// The palette index under a pointer position in a grid of columns x columns
// square cells drawn into drawWidth x drawHeight pixels. Positions outside
// the grid count as its nearest edge cell.
int PaletteCellAt(double x, double y, int columns, int drawWidth, int drawHeight);
