#pragma once

#include "model/palette/palette_load.h"

#include <cstdint>
#include <vector>

// The palette of an indexed PNG image (.png), read only: its PLTE entries
// from entry 0 on, black after them. Any other PNG, or a damaged one, is
// refused with the reason the PNG reader gives.

PaletteLoad ReadPngPalette(const std::vector<std::uint8_t>& bytes);

extern const PaletteFileFormat PngPaletteFile;
