#include "model/browser/grid_tiles.h"

#include "model/core/tile_codec.h"
#include "model/core/tile_io.h"

#include <algorithm>

void ReadGridTiles(const TileStore& store, GraphicsMode mode, std::int32_t address, const TileLayout& layout,
                   int columns, int lines, std::uint8_t* gridPixels, std::vector<std::uint8_t>& scratch)
{
    if (layout == TileLayout{}) {
        ReadTiles(store, mode, address, columns * lines, gridPixels);
        return;
    }
    const LayoutRows rows = LayoutRowsOf(layout, columns, lines);
    const int runTiles = rows.LineTiles * rows.Lines;
    scratch.assign(static_cast<std::size_t>(runTiles) * TilePixelCount, 0);
    ReadTiles(store, mode, address, runTiles, scratch.data());
    for (int line = 0; line < lines; ++line)
        for (int column = 0; column < columns; ++column) {
            const std::int64_t index = LayoutTileIndex(layout, columns, column, line);
            std::copy_n(scratch.data() + index * TilePixelCount, TilePixelCount,
                        gridPixels + static_cast<std::ptrdiff_t>(line * columns + column) * TilePixelCount);
        }
}
