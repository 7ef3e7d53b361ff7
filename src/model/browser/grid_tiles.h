#pragma once

#include "model/core/mode_table.h"
#include "model/core/tile_layout.h"
#include "model/core/tile_store.h"

#include <cstdint>
#include <vector>

// Reads the tiles a browser grid of columns x lines shows from `address`
// on and decodes them into gridPixels in grid order (tile t = line *
// columns + column, 64 indices each), whatever the layout. The tiles of
// the layout's blocks are read as one run, so reading a layout costs one
// read and one copy per tile; the row order reads straight into the grid.
// scratch holds the run between calls.
void ReadGridTiles(const TileStore& store, GraphicsMode mode, std::int32_t address, const TileLayout& layout,
                   int columns, int lines, std::uint8_t* gridPixels, std::vector<std::uint8_t>& scratch);
