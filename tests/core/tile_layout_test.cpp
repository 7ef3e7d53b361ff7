#include "model/browser/browser_nav.h"
#include "model/browser/grid_tiles.h"
#include "model/core/tile_codec.h"
#include "model/core/tile_layout.h"
#include "support/memory_store.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct LayoutCase {
    const char* Name;
    TileLayout Layout;
    int Columns;
    std::vector<std::vector<int>> Grid;  // tile index at [line][column], written out by hand
};

const LayoutCase Cases[] = {
    {"rows", {1, 1, false}, 3, {{0, 1, 2}, {3, 4, 5}}},
    {"2x2 rows", {2, 2, false}, 4, {{0, 1, 4, 5}, {2, 3, 6, 7}, {8, 9, 12, 13}, {10, 11, 14, 15}}},
    {"2x2 columns", {2, 2, true}, 4, {{0, 2, 4, 6}, {1, 3, 5, 7}, {8, 10, 12, 14}, {9, 11, 13, 15}}},
    {"1x2", {1, 2, false}, 4, {{0, 2, 4, 6}, {1, 3, 5, 7}, {8, 10, 12, 14}, {9, 11, 13, 15}}},
    {"4x4 rows",
     {4, 4, false},
     8,
     {{0, 1, 2, 3, 16, 17, 18, 19},
      {4, 5, 6, 7, 20, 21, 22, 23},
      {8, 9, 10, 11, 24, 25, 26, 27},
      {12, 13, 14, 15, 28, 29, 30, 31},
      {32, 33, 34, 35, 48, 49, 50, 51}}},
    {"4x4 columns", {4, 4, true}, 4, {{0, 4, 8, 12}, {1, 5, 9, 13}, {2, 6, 10, 14}, {3, 7, 11, 15}, {16, 20, 24, 28}}},
    // A block cut by the grid's right edge keeps its hidden tiles' places.
    {"2x2 rows, cut", {2, 2, false}, 3, {{0, 1, 4}, {2, 3, 6}, {8, 9, 12}}},
};

// Game Boy tiles (16 bytes) whose tile t decodes to 64 pixels of t % 4:
// the low bit plane comes first in each row.
MemoryStore NumberedTiles(int tiles)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(tiles) * 16);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = ((i / 16) % 4 & (i % 2 == 0 ? 1 : 2)) != 0 ? 0xFF : 0;
    return MemoryStore(bytes);
}

}  // namespace

TEST(TileLayout, EveryGridPositionShowsTheTileOfTheHandWrittenTable)
{
    for (const LayoutCase& c : Cases) {
        SCOPED_TRACE(c.Name);
        for (int line = 0; line < static_cast<int>(c.Grid.size()); ++line)
            for (int column = 0; column < c.Columns; ++column) {
                const int index = c.Grid[static_cast<std::size_t>(line)][static_cast<std::size_t>(column)];
                EXPECT_EQ(LayoutTileIndex(c.Layout, c.Columns, column, line), index) << column << "," << line;
                const GridPosition back = LayoutPositionOf(c.Layout, c.Columns, index);
                EXPECT_EQ(back.Column, column);
                EXPECT_EQ(back.Line, line);
            }
    }
}

TEST(TileLayout, ReadingAGridPlacesEachTileAtItsPosition)
{
    // Tile t shows the value t % 4: in a 2x2 column layout on 4 columns the
    // top line holds tiles 0, 2, 4, 6 and the second 1, 3, 5, 7.
    const MemoryStore store = NumberedTiles(64);
    std::vector<std::uint8_t> grid(4 * 2 * 64, 0xEE);
    std::vector<std::uint8_t> scratch;
    ReadGridTiles(store, ModeGameboy, 0, {2, 2, true}, 4, 2, grid.data(), scratch);
    const int expected[] = {0, 2, 0, 2, 1, 3, 1, 3};
    for (int t = 0; t < 8; ++t)
        for (int p = 0; p < 64; ++p)
            ASSERT_EQ(grid[static_cast<std::size_t>(t * 64 + p)], expected[t]) << "grid tile " << t;
}

TEST(TileLayout, NavigationCountsRowsOfWholeBlocks)
{
    EXPECT_EQ(LayoutRowsOf({1, 1, false}, 8, 16).LineTiles, 8);
    EXPECT_EQ(LayoutRowsOf({1, 1, false}, 8, 16).Lines, 16);
    EXPECT_EQ(LayoutRowsOf({3, 3, true}, 8, 16).LineTiles, 27);  // three blocks, the third cut
    EXPECT_EQ(LayoutRowsOf({3, 3, true}, 8, 16).Lines, 6);
    // Near the end of a 100-tile file a 2x2 layout on 3 columns x 2 lines
    // would put tile 99 on a hidden place; it shows at column 2 instead.
    const GridPlace place = GridPlaceFor(99 * 16, 100 * 16, 2, 3, 16, {2, 2, false});
    EXPECT_EQ(place.Start, 93 * 16);
    EXPECT_EQ(place.Column, 2);
    EXPECT_EQ(place.Line, 1);
    // A tile well inside the file starts the grid, at the first block's corner.
    const GridPlace inside = GridPlaceFor(160, 100 * 16, 2, 3, 16, {2, 2, false});
    EXPECT_EQ(inside.Start, 160);
    EXPECT_EQ(inside.Column, 0);
    EXPECT_EQ(inside.Line, 0);
}

TEST(TileLayout, TextReadsWhatItWritesAndRefusesTheRest)
{
    for (const TileLayout layout : {TileLayout{1, 1, false}, TileLayout{1, 2, false}, TileLayout{4, 3, true},
                                    TileLayout{8, 8, false}}) {
        const std::optional<TileLayout> read = ParseTileLayout(TileLayoutText(layout));
        ASSERT_TRUE(read.has_value()) << TileLayoutText(layout);
        EXPECT_EQ(*read, layout);
    }
    EXPECT_EQ(TileLayoutText({2, 2, true}), "2x2,col");
    EXPECT_EQ(ParseTileLayout("2X4,row"), (TileLayout{2, 4, false}));
    for (const char* bad : {"", "2", "2x", "x2", "0x2", "9x1", "2x2,", "2x2,column", "2x2col", "-1x2", "2x2 "})
        EXPECT_FALSE(ParseTileLayout(bad).has_value()) << bad;
}
