#include "model/core/program_state.h"

#include <gtest/gtest.h>

TEST(InitState, StartUpValues)
{
    ProgramState state;
    InitState(state);
    EXPECT_EQ(state.BrowserColumns, 8);
    EXPECT_EQ(state.BrowserLines, 16);
    EXPECT_EQ(state.TileWidth, 8);
    EXPECT_EQ(state.TileHeight, 8);
    EXPECT_EQ(state.BrowserZoom, 3);
    EXPECT_EQ(state.EditorZoom, 3);
    EXPECT_EQ(state.PaletteColumns, 4);
    EXPECT_EQ(state.CurrentMode, 0);
    EXPECT_TRUE(state.BrowserGrid);
    EXPECT_EQ(state.GridColor, 0x000000u);
    EXPECT_EQ(state.SelectionColor, 0xFFFFFFu);
    EXPECT_EQ(state.EmptyColor, 0x808080u);
    EXPECT_FALSE(state.FileOpen());
    EXPECT_FALSE(state.FileHandle.IsOpen());
    EXPECT_TRUE(state.FileName().empty());
    EXPECT_EQ(state.FileLength(), 0);
    EXPECT_EQ(state.BrowserAddress, 0);
    EXPECT_EQ(state.CurrentColor, 0);
    EXPECT_TRUE(state.ShowSaveWarning);
    for (const EditorSlot& slot : state.EditorSlots) {
        EXPECT_EQ(slot.Address, EmptySlot);
        EXPECT_EQ(slot.Pixels, (std::array<std::uint8_t, 64>{}));
    }
}

TEST(InitState, ClearAllSlotsEmptiesPaintedCells)
{
    EditorSlotTable slots{};
    slots[17].Address = 0x40;
    slots[17].Pixels[5] = 9;
    slots[255].Address = UnboundTile;
    ClearAllSlots(slots);
    EXPECT_EQ(slots[17].Address, -2);
    EXPECT_EQ(slots[17].Pixels[5], 0);
    EXPECT_EQ(slots[255].Address, -2);
}

TEST(ModeTable, TwelveModesWithTheirNamesAndSizes)
{
    ProgramState state;
    InitState(state);
    const struct {
        const char* name;
        int bits;
        int bytes;
    } expected[] = {
        {"Gameboy", 2, 16},        {"NES", 2, 16},         {"Neo Geo Pocket", 2, 16}, {"SNES 4bpp", 4, 32},
        {"1 bit per pixel", 1, 8}, {"Virtual Boy", 2, 16}, {"Sega Genesis", 4, 32},   {"GG, MS, WSC", 4, 32},
        {"SNES 3bpp", 3, 24},      {"GBA 4bpp", 4, 32},    {"GBA 8bpp", 8, 64},       {"SNES 8bpp", 8, 64},
    };
    for (int i = 0; i < ModeCount; ++i) {
        EXPECT_EQ(state.ModeTable[i].Name, expected[i].name);
        EXPECT_EQ(state.ModeTable[i].BitsPerPixel, expected[i].bits) << i;
        EXPECT_EQ(state.ModeTable[i].BytesPerTile, expected[i].bytes) << i;
    }
}

TEST(ModeTable, ListOrderStartsWithOneBitAndEndsWithGg)
{
    ASSERT_EQ(ModeListOrder.size(), 12u);
    const char* const names[] = {"1 bit per pixel", "Gameboy",        "NES",          "Virtual Boy",
                                 "GBA 4bpp",        "GBA 8bpp",       "SNES 4bpp",    "SNES 3bpp",
                                 "SNES 8bpp",       "Neo Geo Pocket", "Sega Genesis", "GG, MS, WSC"};
    for (int entry = 0; entry < 12; ++entry)
        EXPECT_EQ(StandardModes[ModeListOrder[entry]].Name, names[entry]) << entry;
    EXPECT_EQ(ModeListOrder.front(), 4);
    EXPECT_EQ(ModeListOrder.back(), 7);
}

TEST(SelectedTileAddress, CountsTilesFromTheBrowserAddress)
{
    ProgramState state;
    InitState(state);
    state.BrowserAddress = 0x100;
    state.CurrentMode = ModeSnes4bpp;
    state.BrowserColumns = 8;
    state.BrowserSelX = 3;
    state.BrowserSelY = 2;
    EXPECT_EQ(SelectedTileAddress(state), 0x360);

    state.BrowserAddress = 2147483600;
    state.CurrentMode = ModeGba8bpp;
    state.BrowserColumns = 16;
    state.BrowserSelX = 15;
    state.BrowserSelY = 15;
    EXPECT_EQ(SelectedTileAddress(state), 2147483647);
}
