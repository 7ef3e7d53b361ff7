#include "model/editor/canvas_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A 12 x 10 area of the canvas, one string a row and one hex digit a pixel,
// placed so that it spans the corner where cells 0, 1, 16 and 17 meet.
using Picture = std::vector<std::string>;
constexpr CanvasPoint Origin{2, 3};
constexpr int Width = 12;
constexpr int Height = 10;

CanvasPoint At(int x, int y)
{
    return {Origin.X + x, Origin.Y + y};
}

constexpr std::string_view Digits = "0123456789abcdef";

void Put(EditorSlotTable& slots, const Picture& picture)
{
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            DrawCanvasPixels(slots, std::vector{At(x, y)}, static_cast<std::uint8_t>(Digits.find(picture[y][x])));
}

Picture Read(const EditorSlotTable& slots)
{
    Picture picture(Height, std::string(Width, ' '));
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            picture[y][x] = Digits[CanvasPixel(slots, At(x, y)) & 15];
    return picture;
}

// A ring whose bottom right corner is open only diagonally.
const Picture Ring = {"000000000000", "011111111000", "010000001000", "010000001000", "010000001000",
                      "010000001000", "010000001000", "011111110100", "000000000000", "000000000000"};

TEST(CanvasTools, FloodFillKeepsToFourNeighboursAcrossCellBorders)
{
    struct Case {
        CanvasPoint Start;
        std::uint8_t Color;
        std::size_t ChangedCells;
        Picture After;
    };
    const Case cases[] = {
        {At(4, 4),
         3,
         4,
         {"000000000000", "011111111000", "013333331000", "013333331000", "013333331000", "013333331000",
          "013333331000", "011111110100", "000000000000", "000000000000"}},
        {At(8, 7),
         2,
         EditorSlotCount,
         {"222222222222", "211111111222", "210000001222", "210000001222", "210000001222", "210000001222",
          "210000001222", "211111112122", "222222222222", "222222222222"}},
        {At(4, 4), 0, 0, Ring},
    };
    for (const Case& c : cases) {
        EditorSlotTable slots{};
        Put(slots, Ring);
        EXPECT_EQ(FloodFill(slots, c.Start, c.Color).size(), c.ChangedCells);
        EXPECT_EQ(Read(slots), c.After);
        // Outside the ring the whole canvas is reached: empty cells read as
        // 0 and become unbound cells of the new color.
        const bool outside = c.Color == 2;
        EXPECT_EQ(slots[255].Address, outside ? UnboundTile : EmptySlot);
        EXPECT_EQ(slots[255].Pixels[63], outside ? 2 : 0);
    }
}

TEST(CanvasTools, DraggedShapesLeaveOnlyTheShapeAtTheLastEnd)
{
    struct Case {
        CanvasShape Shape;
        CanvasPoint From, To;
        Picture After;
    };
    const Case cases[] = {
        {CanvasShape::Line,
         At(0, 0),
         At(11, 4),
         {"110000000000", "001110000000", "000001100000", "000000011100", "000000000011", "000000000000",
          "000000000000", "000000000000", "000000000000", "000000000000"}},
        {CanvasShape::Line,
         At(11, 4),
         At(0, 0),
         {"110000000000", "001110000000", "000001100000", "000000011100", "000000000011", "000000000000",
          "000000000000", "000000000000", "000000000000", "000000000000"}},
        {CanvasShape::Line,
         At(3, 0),
         At(5, 9),
         {"000100000000", "000100000000", "000100000000", "000010000000", "000010000000", "000010000000",
          "000010000000", "000001000000", "000001000000", "000001000000"}},
        {CanvasShape::Line,
         At(4, 4),
         At(4, 4),
         {"000000000000", "000000000000", "000000000000", "000000000000", "000010000000", "000000000000",
          "000000000000", "000000000000", "000000000000", "000000000000"}},
        {CanvasShape::Rectangle,
         At(10, 8),
         At(1, 1),
         {"000000000000", "011111111110", "010000000010", "010000000010", "010000000010", "010000000010",
          "010000000010", "010000000010", "011111111110", "000000000000"}},
        {CanvasShape::FilledRectangle,
         At(4, 2),
         At(7, 6),
         {"000000000000", "000000000000", "000011110000", "000011110000", "000011110000", "000011110000",
          "000011110000", "000000000000", "000000000000", "000000000000"}},
    };
    for (const Case& c : cases) {
        EditorSlotTable slots{};
        ShapeDraft draft(slots, c.Shape, c.From, 1);
        // First dragged to the area's far corner and back: the first shape
        // goes again, cells it made unbound included.
        draft.Follow(slots, At(11, 9));
        draft.Follow(slots, At(0, 9));
        draft.Follow(slots, c.To);
        EXPECT_EQ(Read(slots), c.After);
        // The far corner's cell was drawn into on the way and is empty again
        // unless the last shape reaches it (the rectangles do).
        EXPECT_EQ(slots[SlotAt(1, 1)] == EditorSlot{}, c.Shape == CanvasShape::Line);
    }
}

TEST(CanvasTools, ReplaceColorChangesTheChosenCellsAndTheirTwinsOnly)
{
    EditorSlotTable slots{};
    for (int slot : {0, 1, 3}) {
        slots[slot].Address = slot == 3 ? 0x40 : slot * 0x10 + 0x40;
        slots[slot].Pixels.fill(1);
        slots[slot].Pixels[9] = 2;
    }
    struct Case {
        std::vector<int> Cells;
        std::uint8_t From, To;
        std::vector<int> Changed;
    };
    const Case cases[] = {
        {{0, 2, -1, 256}, 1, 4, {0, 3}},  // 3 shares cell 0's address; 2 is empty
        {{2}, 0, 5, {}},                  // an empty cell holds no tile to change
        {{1}, 2, 2, {}},
        {{1}, 7, 5, {}},
    };
    for (const Case& c : cases) {
        EditorSlotTable after = slots;
        EXPECT_EQ(ReplaceColor(after, c.Cells, c.From, c.To), c.Changed);
        for (int slot = 0; slot < EditorSlotCount; ++slot) {
            const bool changed = std::find(c.Changed.begin(), c.Changed.end(), slot) != c.Changed.end();
            EXPECT_EQ(after[slot].Edited, changed);
            if (!changed) {
                EXPECT_EQ(after[slot], slots[slot]) << slot;
            }
        }
        if (!c.Changed.empty()) {
            EXPECT_EQ(after[3].Pixels[0], 4);
            EXPECT_EQ(after[3].Pixels[9], 2);
        }
    }
}

}  // namespace
