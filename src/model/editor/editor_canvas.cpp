#include "model/editor/editor_canvas.h"

#include <algorithm>

namespace {

constexpr int ScrollBarSize = 17;

}  // namespace

std::optional<CanvasHit> HitCanvas(int x, int y, int hs, int vs, int zoom, int innerWidth, int innerHeight)
{
    const int canvasSize = CanvasPixels * zoom;
    if (x < 0 || y < 0 || x > innerWidth || y > innerHeight || x > canvasSize - 1 || y > canvasSize - 1)
        return std::nullopt;
    // Scrolled points past the canvas's last pixel are no cell either.
    const int canvasX = (x + hs) / zoom;
    const int canvasY = (y + vs) / zoom;
    if (canvasX >= CanvasPixels || canvasY >= CanvasPixels)
        return std::nullopt;
    CanvasHit hit;
    hit.Column = std::min(canvasX / TileSide, CanvasCells - 1);
    hit.Row = std::min(canvasY / TileSide, CanvasCells - 1);
    hit.PixelX = canvasX - hit.Column * TileSide;
    hit.PixelY = canvasY - hit.Row * TileSide;
    return hit;
}

std::optional<int> DropSlot(int x, int y, int hs, int vs, int zoom, int innerWidth, int innerHeight)
{
    if (x < 0 || y < 0 || x > innerWidth || y > innerHeight)
        return std::nullopt;
    const int row = (y + vs) / (TileSide * zoom);
    const int column = (x + hs) / (TileSide * zoom);
    if (row > CanvasCells - 1 || column > CanvasCells - 1)
        return std::nullopt;
    return row * CanvasCells + column;
}

int EditScrollMaximum(int zoom, int extent)
{
    const int canvasSize = CanvasPixels * zoom;
    if (canvasSize + ScrollBarSize <= extent)
        return 0;
    return std::max(canvasSize - (extent - ScrollBarSize), 0);
}
