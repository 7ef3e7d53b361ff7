#include "browser/browser_picture.h"

#include <algorithm>
#include <cstring>

namespace {

void FillSpan(PixelBuffer target, int y, int x0, int x1, std::uint32_t color)
{
    if (y < 0 || y >= target.Height)
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, target.Width);
    if (x0 < x1)
        std::fill(target.Bits + static_cast<std::ptrdiff_t>(y) * target.Stride + x0,
                  target.Bits + static_cast<std::ptrdiff_t>(y) * target.Stride + x1, color);
}

void FillColumn(PixelBuffer target, int x, int y0, int y1, std::uint32_t color)
{
    if (x < 0 || x >= target.Width)
        return;
    y0 = std::max(y0, 0);
    y1 = std::min(y1, target.Height);
    for (int y = y0; y < y1; ++y)
        target.Bits[static_cast<std::ptrdiff_t>(y) * target.Stride + x] = color;
}

}  // namespace

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

void BlitMagnified(const PixelBuffer& source, int width, int height, int zoom, PixelBuffer target)
{
    width = std::min({width, source.Width, target.Width / zoom});
    height = std::min({height, source.Height, target.Height / zoom});
    const int outWidth = width * zoom;
    for (int y = 0; y < height; ++y) {
        // Build one magnified line, then copy it to the other zoom - 1 lines.
        const std::uint32_t* in = source.Bits + static_cast<std::ptrdiff_t>(y) * source.Stride;
        std::uint32_t* first = target.Bits + static_cast<std::ptrdiff_t>(y) * zoom * target.Stride;
        std::uint32_t* out = first;
        for (int x = 0; x < width; ++x, out += zoom)
            std::fill(out, out + zoom, in[x]);
        for (int repeat = 1; repeat < zoom; ++repeat)
            std::memcpy(first + static_cast<std::ptrdiff_t>(repeat) * target.Stride, first,
                        static_cast<std::size_t>(outWidth) * sizeof(std::uint32_t));
    }
}

void DrawGridLines(PixelBuffer target, int columns, int lines, int cellSize, std::uint32_t color)
{
    for (int i = 0; i < columns; ++i)
        FillColumn(target, i * cellSize, 0, target.Height, color);
    for (int j = 0; j < lines; ++j)
        FillSpan(target, j * cellSize, 0, target.Width, color);
}

void DrawFrame(PixelBuffer target, int left, int top, int right, int bottom, std::uint32_t color)
{
    if (right <= left || bottom <= top)
        return;
    FillSpan(target, top, left, right, color);
    FillSpan(target, bottom - 1, left, right, color);
    FillColumn(target, left, top, bottom, color);
    FillColumn(target, right - 1, top, bottom, color);
}
