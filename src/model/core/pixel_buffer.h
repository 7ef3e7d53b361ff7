#pragma once

#include "model/core/packed_color.h"

#include <cstdint>

// Pixel-exact drawing into 32-bit pixel buffers (0xAARRGGBB, as Qt's RGB32
// images hold them). Every operation is clipped to the target.

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

// Fills [left, right) x [top, bottom).
void FillBox(PixelBuffer target, int left, int top, int right, int bottom, std::uint32_t color);

// An unfilled 1-pixel rectangle outline; right and bottom are exclusive.
void DrawFrame(PixelBuffer target, int left, int top, int right, int bottom, std::uint32_t color);

// Copies the source's top-left width x height pixels to the target with
// their top-left at (left, top), each pixel becoming a zoom x zoom block.
void BlitMagnified(const PixelBuffer& source, int width, int height, int zoom, PixelBuffer target, int left = 0,
                   int top = 0);
