#include "model/browser/browser_picture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Canvas {
    Canvas(int width, int height, std::uint32_t fill = 0) : pixels(width * height, fill), width(width), height(height)
    {
    }
    PixelBuffer Buffer() { return {pixels.data(), width, height, width}; }
    std::uint32_t At(int x, int y) const { return pixels[y * width + x]; }
    std::vector<std::uint32_t> pixels;
    int width, height;
};

}  // namespace

TEST(BrowserPicture, ScreenColorSwapsRedAndBlueIntoQtOrder)
{
    EXPECT_EQ(ScreenColor(MakePackedColor(0x12, 0x34, 0x56)), 0xFF123456u);
    EXPECT_EQ(ScreenColor(0x0000FF), 0xFFFF0000u);
}

TEST(BrowserPicture, TilesRenderRowMajorThroughThePalette)
{
    std::array<PackedColor, 256> palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = MakePackedColor(i, 0, 255 - i);
    // Two columns, one line: tile 1 has index 7 at pixel (3, 5).
    std::vector<std::uint8_t> tiles(2 * 64, 0);
    tiles[64 + 5 * 8 + 3] = 7;
    Canvas image(128, 128);
    RenderTiles(tiles.data(), 2, 1, palette, image.Buffer());
    EXPECT_EQ(image.At(8 + 3, 5), ScreenColor(palette[7]));
    EXPECT_EQ(image.At(3, 5), ScreenColor(palette[0]));
    EXPECT_EQ(image.At(16, 0), 0u);  // outside the grid: untouched
}

TEST(BrowserPicture, MagnifiedCopyMakesZoomSizedBlocks)
{
    Canvas source(2, 2);
    source.pixels = {1, 2, 3, 4};
    Canvas target(7, 7, 9);
    BlitMagnified({source.pixels.data(), 2, 2, 2}, 2, 2, 3, target.Buffer());
    EXPECT_EQ(target.At(0, 0), 1u);
    EXPECT_EQ(target.At(2, 2), 1u);
    EXPECT_EQ(target.At(3, 0), 2u);
    EXPECT_EQ(target.At(5, 5), 4u);
    EXPECT_EQ(target.At(0, 3), 3u);
    EXPECT_EQ(target.At(6, 6), 9u);  // beyond the magnified picture
}

TEST(BrowserPicture, GridLinesStartAtZeroAndStopBeforeTheLastEdge)
{
    // Two columns and two lines of 24-pixel cells in a 48 x 48 canvas plus margin.
    Canvas image(60, 50, 0);
    DrawGridLines(image.Buffer(), 2, 2, 24, 5);
    for (int y = 0; y < 50; ++y) {
        EXPECT_EQ(image.At(0, y), 5u);
        EXPECT_EQ(image.At(24, y), 5u);
        EXPECT_EQ(image.At(48, y), y == 0 || y == 24 ? 5u : 0u);
    }
    EXPECT_EQ(image.At(59, 24), 5u);  // horizontal lines cross the whole width
    EXPECT_EQ(image.At(30, 48), 0u);  // no line after the last line
    EXPECT_EQ(image.At(30, 23), 0u);
}

TEST(BrowserPicture, FrameIncludesLeftTopAndExcludesRightBottom)
{
    Canvas image(40, 40, 0);
    // The browser frame of tile (1, 0) at zoom 2: 16..33 wide, 0..17 high.
    DrawFrame(image.Buffer(), 16, 0, 33, 17, 1);
    EXPECT_EQ(image.At(16, 0), 1u);
    EXPECT_EQ(image.At(32, 0), 1u);
    EXPECT_EQ(image.At(33, 0), 0u);
    EXPECT_EQ(image.At(16, 16), 1u);
    EXPECT_EQ(image.At(24, 16), 1u);
    EXPECT_EQ(image.At(24, 17), 0u);
    EXPECT_EQ(image.At(24, 8), 0u);  // unfilled
    // Frames partly or wholly off the canvas are clipped, not written past it.
    DrawFrame(image.Buffer(), 30, 30, 60, 60, 2);
    EXPECT_EQ(image.At(39, 30), 2u);
    DrawFrame(image.Buffer(), -100, -100, -50, -50, 3);
    DrawFrame(image.Buffer(), 100, 100, 150, 150, 3);
}

TEST(BrowserPicture, MagnifiedCopyAtAnOffsetIsClipped)
{
    Canvas source(2, 2);
    source.pixels = {1, 2, 3, 4};
    Canvas target(5, 5, 9);
    // Shifted up and left by 4 at zoom 3: the window shows the last two
    // pixels of source pixel 4's block each way.
    BlitMagnified({source.pixels.data(), 2, 2, 2}, 2, 2, 3, target.Buffer(), -4, -4);
    EXPECT_EQ(target.At(0, 0), 4u);
    EXPECT_EQ(target.At(1, 1), 4u);
    EXPECT_EQ(target.At(2, 0), 9u);
    EXPECT_EQ(target.At(0, 2), 9u);
    // Shifted right and down: the block starts at (3, 3) and is cut at the edge.
    BlitMagnified({source.pixels.data(), 2, 2, 2}, 2, 2, 3, target.Buffer(), 3, 3);
    EXPECT_EQ(target.At(3, 3), 1u);
    EXPECT_EQ(target.At(4, 4), 1u);
    EXPECT_EQ(target.At(2, 3), 9u);
    FillBox(target.Buffer(), -10, -10, 100, 1, 7);
    EXPECT_EQ(target.At(4, 0), 7u);
    EXPECT_EQ(target.At(4, 1), 9u);
}
