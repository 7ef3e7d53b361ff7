#pragma once

#include "core/packed_color.h"

#include <array>
#include <cstdint>

// Pixel-exact drawing of the browser picture into 32-bit pixel buffers
// (0xAARRGGBB, as Qt's RGB32 images hold them). Everything is clipped to the
// target.

struct PixelBuffer {
    std::uint32_t* Bits;
    int Width;
    int Height;
    int Stride;  // pixels from one line to the next
};

constexpr std::uint32_t ScreenColor(PackedColor color)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(RedOf(color)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(color)) << 8) | static_cast<std::uint32_t>(BlueOf(color));
}

// Renders columns x lines decoded tiles (64 color indices each, row-major
// over the grid) through the palette at 1:1 into the target's top-left.
void RenderTiles(const std::uint8_t* tilePixels, int columns, int lines, const std::array<PackedColor, 256>& palette,
                 PixelBuffer target);

// Copies the source's top-left width x height pixels to the target's
// top-left, each pixel becoming a zoom x zoom block.
void BlitMagnified(const PixelBuffer& source, int width, int height, int zoom, PixelBuffer target);

// Grid lines: vertical at x = i*cellSize for i < columns, full height;
// horizontal at y = j*cellSize for j < lines, full width. None after the last
// column or line.
void DrawGridLines(PixelBuffer target, int columns, int lines, int cellSize, std::uint32_t color);

// An unfilled 1-pixel rectangle outline; right and bottom are exclusive.
void DrawFrame(PixelBuffer target, int left, int top, int right, int bottom, std::uint32_t color);
