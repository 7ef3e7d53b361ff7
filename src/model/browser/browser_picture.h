#pragma once

#include "model/core/pixel_buffer.h"

#include <array>
#include <cstdint>

// Renders columns x lines decoded tiles (64 color indices each, row-major
// over the grid) through the palette at 1:1 into the target's top-left.
void RenderTiles(const std::uint8_t* tilePixels, int columns, int lines, const std::array<PackedColor, 256>& palette,
                 PixelBuffer target);

// Grid lines: vertical at x = i*cellSize for i < columns, full height;
// horizontal at y = j*cellSize for j < lines, full width. None after the last
// column or line.
void DrawGridLines(PixelBuffer target, int columns, int lines, int cellSize, std::uint32_t color);
