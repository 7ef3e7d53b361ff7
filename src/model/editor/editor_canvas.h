#pragma once

#include "model/core/editor_cells.h"

#include <optional>

// Geometry of the editor canvas: 16 x 16 cells of 8 x 8 pixels, magnified
// zoom times and shifted by the scroll offsets hs and vs.

inline constexpr int CanvasCells = EditorColumns;
// Tile pixels along one side of the canvas.
inline constexpr int CanvasPixels = CanvasCells * TileSide;

struct CanvasHit {
    int Column;  // cell column and row, 0-15
    int Row;
    int PixelX;  // pixel inside the cell, 0-7
    int PixelY;
    int Slot() const { return Row * CanvasCells + Column; }
};

// The cell and pixel under window point (x, y) for a press or a move; none
// outside the window's inner area or past the canvas.
std::optional<CanvasHit> HitCanvas(int x, int y, int hs, int vs, int zoom, int innerWidth, int innerHeight);

// The cell a browser tile dropped at window point (x, y) goes to; none
// outside the window or in the gray margin.
std::optional<int> DropSlot(int x, int y, int hs, int vs, int zoom, int innerWidth, int innerHeight);

// Maximum of an editor scroll bar for a window extent (inner width or
// height); 0 when the canvas and a scroll bar fit, and the bar is disabled.
int EditScrollMaximum(int zoom, int extent);
