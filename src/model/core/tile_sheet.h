#pragma once

#include "model/core/editor_cells.h"
#include "model/core/tile_layout.h"

#include <cstdint>
#include <span>

// A picture of color indices, row by row, seen as a sheet of 8x8 tiles:
// width / 8 tiles a row, tile t (reading order) at column t % columns and
// line t / columns, its pixel (x, y) at picture pixel (column * 8 + x,
// line * 8 + y). Cells cut by the right or bottom edge are no tiles.

// Whole tiles along a side of that many pixels.
constexpr int TilesAlong(int pixels)
{
    return pixels / TileSide;
}

// Where pixel (x, y) of a sheet `columns` tiles a row lies: its tile and
// the tile's entry (y % 8) * 8 + x % 8.
struct SheetPixel {
    int Tile = 0;
    int Entry = 0;
};
SheetPixel SheetPixelAt(int x, int y, int columns);

// The picture that holds `count` tiles `columns` a row: columns * 8 wide
// and as many tile lines high as the tiles start, so a last line of fewer
// tiles is padded out. 64-bit, so that a sheet too large for any picture is
// measured before anything is allocated.
struct SheetSize {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
};
SheetSize SheetSizeFor(std::int64_t count, int columns);

// A run of tiles laid out on a sheet in a block layout (TileLayout): tile t
// of the run takes the cell (reading order) SheetCellOf gives, and the
// sheet is as many tile lines high as the run's tiles reach. The columns
// must hold whole blocks (WholeBlockColumns).
bool WholeBlockColumns(const TileLayout& layout, int columns);
std::int64_t SheetCellOf(const TileLayout& layout, int columns, std::int64_t tile);
SheetSize SheetSizeFor(std::int64_t count, int columns, const TileLayout& layout);

// Tile t of a picture `width` pixels wide; the tile lies inside the picture.
TilePixels CutTile(std::span<const std::uint8_t> picture, int width, int tile);

// Copies 64 indices into the cell of tile t of a picture `width` pixels
// wide; the tile lies inside the picture.
void PasteTile(std::span<std::uint8_t> picture, int width, int tile, const std::uint8_t* pixels);
