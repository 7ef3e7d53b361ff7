#include "model/core/tile_layout.h"

#include <algorithm>
#include <charconv>

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

std::int64_t FloorMod(std::int64_t a, std::int64_t b)
{
    return a - FloorDiv(a, b) * b;
}

int BlocksPerRow(const TileLayout& layout, int columns)
{
    return std::max(1, (std::max(columns, 1) + layout.BlockWidth - 1) / layout.BlockWidth);
}

bool IsSide(int side)
{
    return side >= 1 && side <= MaxLayoutBlockSide;
}

}  // namespace

TileLayout ValidTileLayout(TileLayout layout)
{
    if (!IsSide(layout.BlockWidth) || !IsSide(layout.BlockHeight))
        return {};
    return layout;
}

std::int64_t LayoutTileIndex(const TileLayout& layout, int columns, int column, int line)
{
    const int w = layout.BlockWidth;
    const int h = layout.BlockHeight;
    const std::int64_t blockTiles = static_cast<std::int64_t>(w) * h;
    const std::int64_t rowTiles = BlocksPerRow(layout, columns) * blockTiles;
    const std::int64_t blockColumn = FloorDiv(column, w);
    const std::int64_t blockLine = FloorDiv(line, h);
    const std::int64_t x = FloorMod(column, w);
    const std::int64_t y = FloorMod(line, h);
    const std::int64_t inBlock = layout.ColumnOrder ? x * h + y : y * w + x;
    return blockLine * rowTiles + blockColumn * blockTiles + inBlock;
}

GridPosition LayoutPositionOf(const TileLayout& layout, int columns, std::int64_t index)
{
    const int w = layout.BlockWidth;
    const int h = layout.BlockHeight;
    const std::int64_t blockTiles = static_cast<std::int64_t>(w) * h;
    const std::int64_t rowTiles = BlocksPerRow(layout, columns) * blockTiles;
    const std::int64_t blockLine = FloorDiv(index, rowTiles);
    const std::int64_t inRow = FloorMod(index, rowTiles);
    const std::int64_t blockColumn = inRow / blockTiles;
    const std::int64_t inBlock = inRow % blockTiles;
    const std::int64_t x = layout.ColumnOrder ? inBlock / h : inBlock % w;
    const std::int64_t y = layout.ColumnOrder ? inBlock % h : inBlock / w;
    return {static_cast<int>(blockColumn * w + x), static_cast<int>(blockLine * h + y)};
}

LayoutRows LayoutRowsOf(const TileLayout& layout, int columns, int lines)
{
    const int h = layout.BlockHeight;
    return {BlocksPerRow(layout, columns) * layout.BlockWidth * h, (std::max(lines, 1) + h - 1) / h};
}

std::string TileLayoutText(const TileLayout& layout)
{
    return std::to_string(layout.BlockWidth) + "x" + std::to_string(layout.BlockHeight) +
           (layout.ColumnOrder ? ",col" : "");
}

std::optional<TileLayout> ParseTileLayout(std::string_view text)
{
    TileLayout layout;
    const char* end = text.data() + text.size();
    auto [afterWidth, widthError] = std::from_chars(text.data(), end, layout.BlockWidth);
    if (widthError != std::errc() || afterWidth == end || (*afterWidth != 'x' && *afterWidth != 'X'))
        return std::nullopt;
    auto [afterHeight, heightError] = std::from_chars(afterWidth + 1, end, layout.BlockHeight);
    if (heightError != std::errc())
        return std::nullopt;
    const std::string_view rest(afterHeight, static_cast<std::size_t>(end - afterHeight));
    if (rest == ",col")
        layout.ColumnOrder = true;
    else if (!rest.empty() && rest != ",row")
        return std::nullopt;
    if (!IsSide(layout.BlockWidth) || !IsSide(layout.BlockHeight))
        return std::nullopt;
    return layout;
}
