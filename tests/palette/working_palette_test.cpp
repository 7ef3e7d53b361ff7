#include "model/palette/working_palette.h"

#include "model/core/program_state.h"

#include <gtest/gtest.h>

#include <numeric>
#include <utility>

namespace {

// The rotation one step at a time, as the shift buttons define it.
void StepLeft(WorkingPaletteTable& palette)
{
    const PackedColor kept = palette[0];
    for (int i = 0; i < 255; ++i)
        palette[i] = palette[i + 1];
    palette[255] = kept;
}

void StepRight(WorkingPaletteTable& palette)
{
    const PackedColor kept = palette[255];
    for (int i = 254; i >= 0; --i)
        palette[i + 1] = palette[i];
    palette[0] = kept;
}

WorkingPaletteTable Numbered()
{
    WorkingPaletteTable palette{};
    std::iota(palette.begin(), palette.end(), PackedColor{1000});
    return palette;
}

}  // namespace

TEST(DefaultPalettes, WorkingPaletteAndNesColors)
{
    ProgramState state;
    InitState(state);
    const auto& palette = state.WorkingPalette;
    EXPECT_EQ(palette[0], 0x80FFFFu);
    EXPECT_EQ(palette[1], MakePackedColor(181, 181, 96));
    EXPECT_EQ(palette[5], MakePackedColor(181, 0, 0));
    EXPECT_EQ(palette[15], MakePackedColor(0, 0, 64));
    // Gray ramp, halves rounded to even: entry 24 is 9.5, entry 40 is 26.5.
    const std::pair<int, int> grays[] = {{16, 1}, {23, 8}, {24, 10}, {40, 26}, {255, 255}};
    for (auto [index, level] : grays)
        EXPECT_EQ(palette[index], MakePackedColor(level, level, level)) << "entry " << index;

    EXPECT_EQ(state.NesColors[0x01], 0xFF0000u);
    EXPECT_EQ(state.NesColors[0x16], MakePackedColor(248, 56, 0));
    EXPECT_EQ(state.NesColors[0x3C], MakePackedColor(0, 0xFF, 0xFF));
    EXPECT_EQ(state.NesColors[0x3D], MakePackedColor(0xF8, 0xD8, 0xF8));
}

TEST(PaletteShift, LeftByOneMovesEntryZeroToTheEndAndRightUndoesIt)
{
    WorkingPaletteTable palette = Numbered();
    ShiftPaletteLeft(palette, 1);
    EXPECT_EQ(palette[255], 1000u);
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(palette[i], 1000u + i + 1) << "entry " << i;
    ShiftPaletteRight(palette, 1);
    EXPECT_EQ(palette, Numbered());
}

TEST(PaletteShift, MatchesSingleStepsAndAFullTurnRestores)
{
    for (int count : {1, 3, 16, 255}) {
        WorkingPaletteTable rotated = Numbered();
        WorkingPaletteTable stepped = Numbered();
        ShiftPaletteLeft(rotated, count);
        for (int step = 0; step < count; ++step)
            StepLeft(stepped);
        EXPECT_EQ(rotated, stepped) << "left by " << count;

        ShiftPaletteRight(rotated, 2 * count);
        for (int step = 0; step < 2 * count; ++step)
            StepRight(stepped);
        EXPECT_EQ(rotated, stepped) << "right by " << 2 * count;
    }
    WorkingPaletteTable palette = Numbered();
    for (int step = 0; step < 256; ++step)
        ShiftPaletteLeft(palette, 1);
    EXPECT_EQ(palette, Numbered());
}

TEST(PaletteCycles, ColumnsAndShiftCounts)
{
    EXPECT_EQ(NextPaletteColumns(4), 16);
    EXPECT_EQ(NextPaletteColumns(16), 2);
    EXPECT_EQ(NextPaletteColumns(2), 4);

    const int shiftCycle[] = {1, 2, 4, 8, 16, 1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(NextShiftCount(shiftCycle[i]), shiftCycle[i + 1]);

    EXPECT_EQ(ShiftCountForBits(1), 2);
    EXPECT_EQ(ShiftCountForBits(2), 4);
    EXPECT_EQ(ShiftCountForBits(3), 8);
    EXPECT_EQ(NextShiftCount(ShiftCountForBits(3)), 16);
    EXPECT_EQ(ShiftCountForBits(4), 16);
    EXPECT_EQ(ShiftCountForBits(5), 16);
    EXPECT_EQ(ShiftCountForBits(8), 16);
}

TEST(PaletteCellAt, CellsAndEdges)
{
    EXPECT_EQ(PaletteCellAt(95, 95, 16, 96, 96), 255);
    EXPECT_EQ(PaletteCellAt(-5, 95, 16, 96, 96), 240);
    EXPECT_EQ(PaletteCellAt(96 + 50, 0, 16, 96, 96), 15);
    EXPECT_EQ(PaletteCellAt(70, 70, 2, 96, 96), 3);
    EXPECT_EQ(PaletteCellAt(47, 47, 2, 96, 96), 0);
    EXPECT_EQ(PaletteCellAt(24, 0, 4, 96, 96), 1);
    EXPECT_EQ(PaletteCellAt(23.6, 0, 4, 96, 96), 1);  // pixel 24
    EXPECT_EQ(PaletteCellAt(23.4, 0, 4, 96, 96), 0);
}
