#include "model/core/tile_sheet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A picture whose every index tells its place.
std::vector<std::uint8_t> Numbered(int width, int height)
{
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width * height));
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return picture;
}

}  // namespace

TEST(TileSheet, TilesLieInReadingOrderAndEdgeCellsAreNoTiles)
{
    // Picture width and height, a tile, the top-left pixel of its cell.
    struct Case {
        int Width, Height, Tile, X, Y;
    };
    const Case cases[] = {
        {24, 16, 0, 0, 0}, {24, 16, 2, 16, 0}, {24, 16, 4, 8, 8},         {20, 17, 1, 8, 0},
        {20, 17, 3, 8, 8}, {8, 64, 7, 0, 56},  {128, 128, 255, 120, 120},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> picture = Numbered(c.Width, c.Height);
        const TilePixels cut = CutTile(picture, c.Width, c.Tile);
        std::vector<std::uint8_t> pasted(picture.size(), 0);
        TilePixels marks{};
        for (int i = 0; i < TileSide * TileSide; ++i)
            marks[i] = static_cast<std::uint8_t>(i + 1);
        PasteTile(pasted, c.Width, c.Tile, marks.data());
        for (int y = 0; y < c.Height; ++y)
            for (int x = 0; x < c.Width; ++x) {
                const std::size_t at = static_cast<std::size_t>(y * c.Width + x);
                const bool inside = x >= c.X && x < c.X + TileSide && y >= c.Y && y < c.Y + TileSide;
                const int entry = (y - c.Y) * TileSide + (x - c.X);
                EXPECT_EQ(pasted[at], inside ? marks[entry] : 0) << c.Width << " wide, tile " << c.Tile;
                if (inside) {
                    EXPECT_EQ(cut[entry], picture[at]) << c.Width << " wide, tile " << c.Tile;
                }
            }
    }
}

TEST(TileSheet, PixelsNameTheirTileAndEntry)
{
    struct Case {
        int X, Y, Columns, Tile, Entry;
    };
    const Case cases[] = {
        {0, 0, 16, 0, 0}, {11, 13, 16, 17, 43}, {127, 127, 16, 255, 63}, {7, 8, 3, 3, 7}, {8, 7, 3, 1, 56},
    };
    for (const Case& c : cases) {
        const SheetPixel at = SheetPixelAt(c.X, c.Y, c.Columns);
        EXPECT_EQ(at.Tile, c.Tile) << c.X << ", " << c.Y;
        EXPECT_EQ(at.Entry, c.Entry) << c.X << ", " << c.Y;
    }
}

TEST(TileSheet, ALastLineOfFewerTilesIsPaddedOut)
{
    struct Case {
        std::int64_t Count;
        int Columns;
        std::int64_t Width, Height;
    };
    const Case cases[] = {
        {1, 16, 128, 8},
        {16, 16, 128, 8},
        {17, 16, 128, 16},
        {37, 16, 128, 24},
        {3, 5, 40, 8},
        {5, 1, 8, 40},
        // Far past any picture, still measured.
        {std::int64_t{1} << 40, 2, 16, std::int64_t{1} << 42},
    };
    for (const Case& c : cases) {
        const SheetSize size = SheetSizeFor(c.Count, c.Columns);
        EXPECT_EQ(size.Width, c.Width) << c.Count << " tiles, " << c.Columns << " a row";
        EXPECT_EQ(size.Height, c.Height) << c.Count << " tiles, " << c.Columns << " a row";
    }
}
