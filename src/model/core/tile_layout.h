#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How the browser lays consecutive tiles out on its grid. The default is
// the plain row order: tile k at column k % columns of line k / columns.
// Otherwise tiles come in blocks of BlockWidth x BlockHeight (a sprite),
// stored row by row or column by column inside the block, and the blocks
// fill the grid's rows. A block cut by the grid's right or bottom edge
// still counts all its tiles, so every block starts at a whole block of
// tiles from the grid's first.
struct TileLayout {
    int BlockWidth = 1;
    int BlockHeight = 1;
    bool ColumnOrder = false;  // inside a block: down each column first

    bool operator==(const TileLayout&) const = default;
};

inline constexpr int MaxLayoutBlockSide = 8;

// Sides within 1 .. MaxLayoutBlockSide; anything else gives the row order.
TileLayout ValidTileLayout(TileLayout layout);

// The tile index, counted from the grid's first tile, shown at a column
// and line of a grid `columns` tiles wide. Positions outside the grid
// (negative, or past the last column) continue the same pattern.
std::int64_t LayoutTileIndex(const TileLayout& layout, int columns, int column, int line);

// Where tile `index` shows: the inverse of LayoutTileIndex.
struct GridPosition {
    int Column = 0;
    int Line = 0;
};
GridPosition LayoutPositionOf(const TileLayout& layout, int columns, std::int64_t index);

// The grid as navigation counts it: rows of whole blocks, each holding
// LineTiles tiles, and Lines such rows covering the grid. In the row
// order these are the grid's own columns and lines.
struct LayoutRows {
    int LineTiles = 0;
    int Lines = 0;
};
LayoutRows LayoutRowsOf(const TileLayout& layout, int columns, int lines);

// "2x2", "4x4,col"; "1x1" is the row order. ParseTileLayout reads the same
// text (the command line's --layout), nullopt for anything else.
std::string TileLayoutText(const TileLayout& layout);
std::optional<TileLayout> ParseTileLayout(std::string_view text);
