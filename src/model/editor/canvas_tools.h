#pragma once

#include "model/core/editor_cells.h"

#include <cstdint>
#include <span>
#include <vector>

// Drawing on the editor's cells as one canvas of 128 x 128 pixels, across
// cell borders. An empty cell reads as index 0 pixels and becomes an
// unbound cell once something is drawn into it. Every write reaches the
// cells sharing the written cell's address, so twins stay alike. Each
// operation returns the cells it changed (twins included), in slot order.

struct CanvasPoint {
    int X = 0;  // canvas pixel, 0 .. 127 from the left
    int Y = 0;  // and from the top

    bool operator==(const CanvasPoint&) const = default;
};

// The color index at a canvas pixel; 0 in an empty cell.
std::uint8_t CanvasPixel(const EditorSlotTable& slots, CanvasPoint point);

// The pixels of a straight line from a to b, both ends included, in the
// order they are drawn.
std::vector<CanvasPoint> LinePoints(CanvasPoint a, CanvasPoint b);
// The pixels of the rectangle with opposite corners a and b: its border, or
// every pixel inside it as well.
std::vector<CanvasPoint> RectanglePoints(CanvasPoint a, CanvasPoint b, bool filled);

// Sets the pixels to color; points off the canvas are skipped.
std::vector<int> DrawCanvasPixels(EditorSlotTable& slots, std::span<const CanvasPoint> points, std::uint8_t color);

// Gives the area of start's color that start reaches through its four
// neighbours the new color.
std::vector<int> FloodFill(EditorSlotTable& slots, CanvasPoint start, std::uint8_t color);

// In each of the given cells that holds a tile, every pixel of index from
// becomes index to. Empty cells stay empty.
std::vector<int> ReplaceColor(EditorSlotTable& slots, std::span<const int> cells, std::uint8_t from, std::uint8_t to);

// The shapes drawn by dragging.
enum class CanvasShape : std::uint8_t { Line, Rectangle, FilledRectangle };

// A shape being dragged out from a fixed start: each Follow takes back the
// shape drawn before and draws it to the new end, so the cells always show
// what a release there would leave.
class ShapeDraft {
public:
    ShapeDraft(const EditorSlotTable& slots, CanvasShape shape, CanvasPoint start, std::uint8_t color);

    // Returns the cells to draw anew: those the last shape changed and
    // those the new one changes.
    std::vector<int> Follow(EditorSlotTable& slots, CanvasPoint end);

private:
    EditorSlotTable before_;
    CanvasShape shape_;
    CanvasPoint start_;
    std::uint8_t color_;
    std::vector<int> drawn_;
};
