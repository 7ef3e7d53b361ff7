#include "model/core/pixel_buffer.h"

#include <algorithm>
#include <cstring>

void FillBox(PixelBuffer target, int left, int top, int right, int bottom, std::uint32_t color)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, target.Width);
    bottom = std::min(bottom, target.Height);
    for (int y = top; y < bottom; ++y)
        std::fill(target.Bits + static_cast<std::ptrdiff_t>(y) * target.Stride + left,
                  target.Bits + static_cast<std::ptrdiff_t>(y) * target.Stride + std::max(left, right), color);
}

void DrawFrame(PixelBuffer target, int left, int top, int right, int bottom, std::uint32_t color)
{
    if (right <= left || bottom <= top)
        return;
    FillBox(target, left, top, right, top + 1, color);
    FillBox(target, left, bottom - 1, right, bottom, color);
    FillBox(target, left, top, left + 1, bottom, color);
    FillBox(target, right - 1, top, right, bottom, color);
}

void BlitMagnified(const PixelBuffer& source, int width, int height, int zoom, PixelBuffer target, int left, int top)
{
    width = std::min(width, source.Width);
    height = std::min(height, source.Height);
    // The visible part of the magnified picture, in target pixels.
    const int x0 = std::max(left, 0);
    const int x1 = std::min(left + width * zoom, target.Width);
    const int y0 = std::max(top, 0);
    const int y1 = std::min(top + height * zoom, target.Height);
    if (x0 >= x1 || y0 >= y1)
        return;
    const auto lineBytes = static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t);
    int builtFrom = -1;  // source line of the last target line built
    const std::uint32_t* built = nullptr;
    for (int y = y0; y < y1; ++y) {
        const int sourceY = (y - top) / zoom;
        std::uint32_t* out = target.Bits + static_cast<std::ptrdiff_t>(y) * target.Stride;
        if (sourceY == builtFrom) {
            // Same source line as the target line above: copy it.
            std::memcpy(out + x0, built + x0, lineBytes);
            continue;
        }
        const std::uint32_t* in = source.Bits + static_cast<std::ptrdiff_t>(sourceY) * source.Stride;
        for (int sourceX = (x0 - left) / zoom; sourceX <= (x1 - 1 - left) / zoom; ++sourceX) {
            const int spanLeft = std::max(left + sourceX * zoom, x0);
            const int spanRight = std::min(left + (sourceX + 1) * zoom, x1);
            std::fill(out + spanLeft, out + spanRight, in[sourceX]);
        }
        builtFrom = sourceY;
        built = out;
    }
}
