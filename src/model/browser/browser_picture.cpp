#include "model/browser/browser_picture.h"

#include "model/core/editor_cells.h"

void RenderTiles(const std::uint8_t* tilePixels, int columns, int lines, const std::array<PackedColor, 256>& palette,
                 PixelBuffer target)
{
    std::uint32_t screen[256];
    for (int i = 0; i < 256; ++i)
        screen[i] = ScreenColor(palette[i]);
    for (int line = 0; line < lines && line * TileSide < target.Height; ++line)
        for (int column = 0; column < columns && column * TileSide < target.Width; ++column) {
            const std::uint8_t* tile = tilePixels + (line * columns + column) * TileSide * TileSide;
            for (int y = 0; y < TileSide; ++y) {
                std::uint32_t* out =
                    target.Bits + static_cast<std::ptrdiff_t>(line * TileSide + y) * target.Stride + column * TileSide;
                for (int x = 0; x < TileSide; ++x)
                    out[x] = screen[tile[y * TileSide + x]];
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
