#pragma once

#include "model/palette/palette_load.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The Tile Layer DOS palette (.pal): 16 colors, 48 bytes of red, green,
// blue, each a 6-bit value. No header and no size to check.

inline constexpr std::size_t TileLayerPaletteSize = 48;

// Colors 0-15 as 48 bytes, each channel divided by 4.
std::vector<std::uint8_t> BuildTileLayerPalette(const Palette256& colors);

// One set "Tile Layer palette": 16 colors scaled from 6 bits (above 62 gives
// 255, else v * 4.1 truncated), the rest black. Missing bytes read as 0.
PaletteLoad ReadTileLayerPalette(const std::vector<std::uint8_t>& bytes);

// Writes the selected set; only the first 48 bytes of a file are read.
extern const PaletteFileFormat TileLayerPaletteFile;
