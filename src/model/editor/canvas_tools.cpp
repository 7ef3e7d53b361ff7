#include "model/editor/canvas_tools.h"

#include "model/editor/editor_slots.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdlib>
#include <optional>

namespace {

bool OnCanvas(CanvasPoint point)
{
    return point.X >= 0 && point.Y >= 0 && point.X < EditorColumns * TileSide && point.Y < EditorColumns * TileSide;
}

int SlotOf(CanvasPoint point)
{
    return SlotAt(point.X / TileSide, point.Y / TileSide);
}

int PixelIndexOf(CanvasPoint point)
{
    return (point.Y % TileSide) * TileSide + point.X % TileSide;
}

// Writes pixels into the cells and their twins and notes which cells
// changed. A cell's twins are looked up once: a write never gives a cell
// an address another cell holds.
class CanvasWriter {
public:
    explicit CanvasWriter(EditorSlotTable& slots) : slots_(slots) {}

    void Write(CanvasPoint point, std::uint8_t color)
    {
        if (!OnCanvas(point))
            return;
        const int slot = SlotOf(point);
        const int index = PixelIndexOf(point);
        EditorSlot& cell = slots_[slot];
        if (cell.Address != EmptySlot && cell.Pixels[index] == color)
            return;
        if (cell.Address == EmptySlot) {
            cell.Pixels.fill(0);
            cell.Address = UnboundTile;
        }
        std::optional<std::vector<int>>& twins = twins_[slot];
        if (!twins)
            twins = SlotsSharingAddress(slots_, slot);
        for (int j : *twins) {
            slots_[j].Pixels[index] = color;
            slots_[j].Edited = true;
            changed_.set(j);
        }
    }

    std::vector<int> Changed() const
    {
        std::vector<int> cells;
        for (int slot = 0; slot < EditorSlotCount; ++slot)
            if (changed_.test(slot))
                cells.push_back(slot);
        return cells;
    }

private:
    EditorSlotTable& slots_;
    std::array<std::optional<std::vector<int>>, EditorSlotCount> twins_;
    std::bitset<EditorSlotCount> changed_;
};

std::vector<CanvasPoint> ShapePoints(CanvasShape shape, CanvasPoint a, CanvasPoint b)
{
    if (shape == CanvasShape::Line)
        return LinePoints(a, b);
    return RectanglePoints(a, b, shape == CanvasShape::FilledRectangle);
}

}  // namespace

std::uint8_t CanvasPixel(const EditorSlotTable& slots, CanvasPoint point)
{
    if (!OnCanvas(point))
        return 0;
    const EditorSlot& cell = slots[SlotOf(point)];
    return cell.Address == EmptySlot ? 0 : cell.Pixels[PixelIndexOf(point)];
}

std::vector<CanvasPoint> LinePoints(CanvasPoint a, CanvasPoint b)
{
    // Bresenham's line with integer error terms, good in every octant.
    const int dx = std::abs(b.X - a.X);
    const int dy = -std::abs(b.Y - a.Y);
    const int stepX = a.X < b.X ? 1 : -1;
    const int stepY = a.Y < b.Y ? 1 : -1;
    int error = dx + dy;
    std::vector<CanvasPoint> points;
    points.reserve(static_cast<std::size_t>(std::max(dx, -dy)) + 1);
    CanvasPoint at = a;
    while (true) {
        points.push_back(at);
        if (at == b)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.X += stepX;
        }
        if (twice <= dx) {
            error += dx;
            at.Y += stepY;
        }
    }
    return points;
}

std::vector<CanvasPoint> RectanglePoints(CanvasPoint a, CanvasPoint b, bool filled)
{
    const int left = std::min(a.X, b.X);
    const int right = std::max(a.X, b.X);
    const int top = std::min(a.Y, b.Y);
    const int bottom = std::max(a.Y, b.Y);
    std::vector<CanvasPoint> points;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (filled || y == top || y == bottom || x == left || x == right)
                points.push_back({x, y});
    return points;
}

std::vector<int> DrawCanvasPixels(EditorSlotTable& slots, std::span<const CanvasPoint> points, std::uint8_t color)
{
    CanvasWriter writer(slots);
    for (CanvasPoint point : points)
        writer.Write(point, color);
    return writer.Changed();
}

std::vector<int> FloodFill(EditorSlotTable& slots, CanvasPoint start, std::uint8_t color)
{
    const std::uint8_t old = CanvasPixel(slots, start);
    if (!OnCanvas(start) || old == color)
        return {};
    // The whole area is found before anything is written: writes reach
    // twins elsewhere on the canvas and must not steer the search.
    constexpr int Side = EditorColumns * TileSide;
    std::vector<bool> seen(Side * Side, false);
    std::vector<CanvasPoint> area;
    std::vector<CanvasPoint> pending = {start};
    seen[start.Y * Side + start.X] = true;
    while (!pending.empty()) {
        const CanvasPoint at = pending.back();
        pending.pop_back();
        area.push_back(at);
        for (CanvasPoint next : {CanvasPoint{at.X - 1, at.Y}, CanvasPoint{at.X + 1, at.Y}, CanvasPoint{at.X, at.Y - 1},
                                 CanvasPoint{at.X, at.Y + 1}}) {
            if (!OnCanvas(next) || seen[next.Y * Side + next.X] || CanvasPixel(slots, next) != old)
                continue;
            seen[next.Y * Side + next.X] = true;
            pending.push_back(next);
        }
    }
    return DrawCanvasPixels(slots, area, color);
}

std::vector<int> ReplaceColor(EditorSlotTable& slots, std::span<const int> cells, std::uint8_t from, std::uint8_t to)
{
    CanvasWriter writer(slots);
    if (from == to)
        return {};
    for (int slot : cells) {
        if (slot < 0 || slot >= EditorSlotCount || slots[slot].Address == EmptySlot)
            continue;
        const CanvasPoint corner{(slot % EditorColumns) * TileSide, (slot / EditorColumns) * TileSide};
        for (int y = 0; y < TileSide; ++y)
            for (int x = 0; x < TileSide; ++x)
                if (slots[slot].Pixels[y * TileSide + x] == from)
                    writer.Write({corner.X + x, corner.Y + y}, to);
    }
    return writer.Changed();
}

ShapeDraft::ShapeDraft(const EditorSlotTable& slots, CanvasShape shape, CanvasPoint start, std::uint8_t color)
    : before_(slots), shape_(shape), start_(start), color_(color)
{
}

std::vector<int> ShapeDraft::Follow(EditorSlotTable& slots, CanvasPoint end)
{
    for (int slot : drawn_)
        slots[slot] = before_[slot];
    std::vector<int> redraw = drawn_;
    drawn_ = DrawCanvasPixels(slots, ShapePoints(shape_, start_, end), color_);
    redraw.insert(redraw.end(), drawn_.begin(), drawn_.end());
    std::sort(redraw.begin(), redraw.end());
    redraw.erase(std::unique(redraw.begin(), redraw.end()), redraw.end());
    return redraw;
}
