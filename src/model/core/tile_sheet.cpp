#include "model/core/tile_sheet.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

namespace {

// Offset of the top-left pixel of tile t in a picture `width` pixels wide.
std::size_t CornerOf(int width, int tile)
{
    const int columns = TilesAlong(width);
    return static_cast<std::size_t>(tile / columns) * TileSide * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(tile % columns) * TileSide;
}

// The last index tile t's cell reaches, plus one.
[[maybe_unused]] std::size_t CellEnd(int width, int tile)
{
    return CornerOf(width, tile) + static_cast<std::size_t>(TileSide - 1) * static_cast<std::size_t>(width) + TileSide;
}

}  // namespace

SheetPixel SheetPixelAt(int x, int y, int columns)
{
    return {(y / TileSide) * columns + x / TileSide, (y % TileSide) * TileSide + x % TileSide};
}

SheetSize SheetSizeFor(std::int64_t count, int columns)
{
    const std::int64_t lines = count > 0 ? (count - 1) / columns + 1 : 0;
    return {std::int64_t{columns} * TileSide, lines * TileSide};
}

bool WholeBlockColumns(const TileLayout& layout, int columns)
{
    return columns > 0 && columns % layout.BlockWidth == 0;
}

std::int64_t SheetCellOf(const TileLayout& layout, int columns, std::int64_t tile)
{
    const GridPosition at = LayoutPositionOf(layout, columns, tile);
    return std::int64_t{at.Line} * columns + at.Column;
}

SheetSize SheetSizeFor(std::int64_t count, int columns, const TileLayout& layout)
{
    if (count <= 0)
        return {std::int64_t{columns} * TileSide, 0};
    // The last tile's block row is full height unless the run ends inside
    // that row's first block; there the last tile's line is the lowest.
    const LayoutRows rows = LayoutRowsOf(layout, columns, 1);
    const std::int64_t blockTiles = std::int64_t{layout.BlockWidth} * layout.BlockHeight;
    const std::int64_t blockRow = (count - 1) / rows.LineTiles;
    const std::int64_t inRow = (count - 1) % rows.LineTiles + 1;
    std::int64_t lines = (blockRow + 1) * layout.BlockHeight;
    if (inRow < blockTiles)
        lines = std::int64_t{LayoutPositionOf(layout, columns, count - 1).Line} + 1;
    if (layout.ColumnOrder && inRow < blockTiles && inRow >= layout.BlockHeight)
        lines = (blockRow + 1) * layout.BlockHeight;
    return {std::int64_t{columns} * TileSide, lines * TileSide};
}

TilePixels CutTile(std::span<const std::uint8_t> picture, int width, int tile)
{
    assert(tile >= 0 && CellEnd(width, tile) <= picture.size());
    TilePixels pixels{};
    const std::uint8_t* row = picture.data() + CornerOf(width, tile);
    for (int y = 0; y < TileSide; ++y, row += width)
        std::copy_n(row, TileSide, pixels.data() + y * TileSide);
    return pixels;
}

void PasteTile(std::span<std::uint8_t> picture, int width, int tile, const std::uint8_t* pixels)
{
    assert(tile >= 0 && CellEnd(width, tile) <= picture.size());
    std::uint8_t* row = picture.data() + CornerOf(width, tile);
    for (int y = 0; y < TileSide; ++y, row += width)
        std::copy_n(pixels + y * TileSide, TileSide, row);
}
