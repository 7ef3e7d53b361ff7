#pragma once

#include "model/core/dialogs.h"
#include "model/core/editor_cells.h"
#include "model/core/tile_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Tiles as search keys: flips, the color pattern of a tile, and cutting a
// query out of a picture or out of the editor's cells.

// How a found tile relates to the query tile: the query tile itself, or the
// query tile mirrored left-right, top-bottom, or both.
enum class TileFlip : std::uint8_t { None, Horizontal, Vertical, Both };

// The tile mirrored as flip says.
TilePixels FlipTile(const TilePixels& tile, TileFlip flip);

// The tile with its color indices renamed in order of first appearance
// (row by row, left to right): the first color becomes 0, the next new one 1,
// and so on. Two tiles have the same pattern when they differ only by a
// renaming of colors.
TilePixels CanonicalPattern(const TilePixels& tile);

// All 64 pixels share one color.
bool IsUniform(const TilePixels& tile);

// One tile of a query and where it stands in the query picture, in tiles.
// Tiles side by side in one row are looked for side by side in the file.
struct QueryTile {
    TilePixels Pixels{};
    int Column = 0;
    int Row = 0;
};

// Cuts an indexed picture (width x height indices, row by row) into 8x8
// tiles from its top-left corner, row by row; partial tiles at the right and
// bottom edges are dropped. Returns nothing when indices holds fewer than
// width * height entries.
std::vector<QueryTile> QueryFromImage(int width, int height, const std::vector<std::uint8_t>& indices);

// The same picture seen in a block layout (TileLayout): its whole blocks,
// block after block, are one run of tiles side by side, the way a sprite's
// tiles follow each other in the file. Cells outside whole blocks are left
// out.
std::vector<QueryTile> QueryFromImage(int width, int height, const std::vector<std::uint8_t>& indices,
                                      const TileLayout& layout);

// count editor cells from firstSlot along its row, as one run of query tiles
// (cells past the row's end are not taken).
std::vector<QueryTile> QueryFromCells(const EditorSlotTable& slots, int firstSlot, int count);

// The tiles of a picture file, from its top-left corner, read in the
// format its name calls for (ImageFormatForPath): an indexed PNG, or the
// editor's 128 x 128 BMP cell by cell.
// Nothing, with the reason in problem, when the file cannot be read.
std::vector<QueryTile> QueryFromPictureFile(const std::string& path, std::optional<UserMessage>& problem);
