#pragma once

#include "model/core/packed_color.h"

// Fills the start-up working palette (four ramps of four shades, then a gray
// ramp) and the 64 NES colors.
void InitDefaultPalettes(WorkingPaletteTable& workingPalette, NesColorTable& nesColors);
