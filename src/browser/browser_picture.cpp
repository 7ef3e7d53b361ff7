#include "browser/browser_picture.h"

void RenderTiles(const std::uint8_t* tilePixels, int columns, int lines, const std::array<PackedColor, 256>& palette,
                 PixelBuffer target)
{
    std::uint32_t screen[256];
    for (int i = 0; i < 256; ++i)
        screen[i] = ScreenColor(palette[i]);
    for (int line = 0; line < lines && line * 8 < target.Height; ++line)
        for (int column = 0; column < columns && column * 8 < target.Width; ++column) {
            const std::uint8_t* tile = tilePixels + (line * columns + column) * 64;
            for (int y = 0; y < 8; ++y) {
                std::uint32_t* out =
                    target.Bits + static_cast<std::ptrdiff_t>(line * 8 + y) * target.Stride + column * 8;
                for (int x = 0; x < 8; ++x)
                    out[x] = screen[tile[y * 8 + x]];
            }
        }
}

void DrawGridLines(PixelBuffer target, int columns, int lines, int cellSize, std::uint32_t color)
{
    for (int i = 0; i < columns; ++i)
        FillBox(target, i * cellSize, 0, i * cellSize + 1, target.Height, color);
    for (int j = 0; j < lines; ++j)
        FillBox(target, 0, j * cellSize, target.Width, j * cellSize + 1, color);
}
