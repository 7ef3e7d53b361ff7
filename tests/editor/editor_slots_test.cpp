#include "model/core/rom_session.h"
#include "model/core/tile_io.h"
#include "model/editor/editor_canvas.h"
#include "model/editor/editor_slots.h"
#include "model/editor/pattern_file.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

namespace {

TilePixels Filled(std::uint8_t value)
{
    TilePixels pixels;
    pixels.fill(value);
    return pixels;
}

TilePixels Counting()
{
    TilePixels pixels;
    for (int i = 0; i < 64; ++i)
        pixels[i] = static_cast<std::uint8_t>(i);
    return pixels;
}

class EditorCells : public ::testing::Test {
protected:
    void SetUp() override { InitState(state); }

    std::string Open(const std::vector<std::uint8_t>& bytes)
    {
        const std::string path = dir.WriteFile("rom.gb", bytes);
        EXPECT_TRUE(OpenRomInState(state, path).Opened);
        state.CurrentMode = ModeGameboy;  // 16 bytes a tile
        return path;
    }

    TempDir dir;
    ProgramState state;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(EditorCells, LoadRefusesAnAddressAlreadyInTheEditor)
{
    Open(CountingBytes(256));
    ASSERT_TRUE(LoadSlot(state, dialogs, 32, 0));
    EXPECT_EQ(state.EditorSlots[0].Address, 32);
    EXPECT_EQ(state.EditorSlots[0].Pixels[0], 0);  // bytes 32 and 33: bit 7 clear in both

    EXPECT_FALSE(LoadSlot(state, dialogs, 32, 5));
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].Text, "There is already a tile with the same address in the editor.");
    EXPECT_EQ(dialogs.Prompts[0].Caption, "Editor error");
    EXPECT_EQ(dialogs.Prompts[0].Icon, MsgIcon::Information);
    EXPECT_EQ(state.EditorSlots[5].Address, EmptySlot);
}

TEST_F(EditorCells, PaintAndFillBindEmptyCellsAndReachTwins)
{
    EditorSlotTable& slots = state.EditorSlots;
    EXPECT_EQ(PaintPixel(slots, 7, 3, 2, 9), std::vector<int>{7});
    EXPECT_EQ(slots[7].Address, UnboundTile);
    EXPECT_EQ(slots[7].Pixels[2 * 8 + 3], 9);

    EXPECT_EQ(FillSlot(slots, 8, 4), std::vector<int>{8});
    EXPECT_EQ(slots[8].Address, UnboundTile);
    EXPECT_EQ(slots[8].Pixels, Filled(4));

    slots[10].Address = 64;
    slots[200].Address = 64;
    EXPECT_EQ(PaintPixel(slots, 200, 0, 7, 3), (std::vector<int>{10, 200}));
    EXPECT_EQ(slots[10].Pixels[56], 3);
    EXPECT_EQ(FillSlot(slots, 10, 2), (std::vector<int>{10, 200}));
    EXPECT_EQ(slots[200].Pixels, Filled(2));
    // Unbound cells are never twins of each other.
    EXPECT_EQ(slots[7].Pixels[0], 0);
}

TEST_F(EditorCells, SwapExchangesPixelsAndAddresses)
{
    EditorSlotTable& slots = state.EditorSlots;
    slots[1] = {48, Filled(1), std::nullopt};
    slots[2] = {UnboundTile, Filled(2), std::nullopt};
    SwapSlots(slots, 1, 2);
    EXPECT_EQ(slots[1].Address, UnboundTile);
    EXPECT_EQ(slots[1].Pixels, Filled(2));
    EXPECT_EQ(slots[2].Address, 48);
    EXPECT_EQ(slots[2].Pixels, Filled(1));
}

TEST_F(EditorCells, FlipsAndRotationsRestoreTheTile)
{
    TilePixels pixels = Counting();
    FlipTileX(pixels);
    EXPECT_EQ(pixels[0], 7);
    EXPECT_EQ(pixels[15], 8);
    FlipTileX(pixels);
    EXPECT_EQ(pixels, Counting());
    FlipTileY(pixels);
    EXPECT_EQ(pixels[0], 56);
    FlipTileY(pixels);
    EXPECT_EQ(pixels, Counting());
    for (int turn = 0; turn < 4; ++turn)
        RotateTile(pixels);
    EXPECT_EQ(pixels, Counting());

    TilePixels lone{};
    lone[7] = 5;  // (7, 0)
    RotateTile(lone);
    EXPECT_EQ(lone[0], 5);
    RotateTile(lone);  // (0, 0) goes to (0, 7)
    EXPECT_EQ(lone[7 * 8], 5);
}

TEST_F(EditorCells, SyncTwinsCopiesToCellsWithTheSameAddress)
{
    EditorSlotTable& slots = state.EditorSlots;
    slots[3] = {80, Counting(), std::nullopt};
    slots[4] = {80, Filled(0), std::nullopt};
    slots[5] = {96, Filled(0), std::nullopt};
    EXPECT_EQ(SyncTwins(slots, 3), (std::vector<int>{3, 4}));
    EXPECT_EQ(slots[4].Pixels, Counting());
    EXPECT_EQ(slots[5].Pixels, Filled(0));
}

TEST_F(EditorCells, SaveAllWritesEveryTileInsideTheFileInSlotOrder)
{
    const std::string path = Open(std::vector<std::uint8_t>(256 * 16, 0));
    for (int i = 0; i < 256; ++i)
        state.EditorSlots[i] = {i * 16, Filled(static_cast<std::uint8_t>(i % 4)), std::nullopt};
    // Cell 255's tile ends exactly at the end of the file: it is written too.
    EXPECT_EQ(SaveAllSlots(state).Written, 256);
    const auto bytes = ReadWholeFile(path);
    EXPECT_EQ(bytes.size(), 256u * 16);
    EXPECT_EQ(bytes[255 * 16], 0xFF);  // 255 % 4 = 3: both planes set
    EXPECT_EQ(bytes[255 * 16 + 1], 0xFF);

    // Two cells with one address: the later slot wins. Cells past the end are skipped.
    ClearAllSlots(state.EditorSlots);
    state.EditorSlots[0] = {0, Filled(1), std::nullopt};
    state.EditorSlots[9] = {0, Filled(2), std::nullopt};
    state.EditorSlots[10] = {256 * 16 - 8, Filled(3), std::nullopt};
    state.EditorSlots[11] = {UnboundTile, Filled(3), std::nullopt};
    const SaveAllResult result = SaveAllSlots(state);
    EXPECT_EQ(result.Written, 2);
    EXPECT_FALSE(result.Failed);
    EXPECT_EQ(ReadWholeFile(path)[0], 0x00);
    EXPECT_EQ(ReadWholeFile(path)[1], 0xFF);
    EXPECT_EQ(ReadWholeFile(path).size(), 256u * 16);
}

TEST_F(EditorCells, SaveAllCountsOnlyTilesActuallyWritten)
{
    const std::string path = dir.WriteFile("ro.gb", std::vector<std::uint8_t>(64, 0x5A));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_TRUE(OpenRomInState(state, path).Opened);
    state.CurrentMode = ModeGameboy;
    state.EditorSlots[0] = {0, Filled(3), std::nullopt};
    const SaveAllResult result = SaveAllSlots(state);
    EXPECT_EQ(result.Written, 0);
    EXPECT_TRUE(result.Failed);
    EXPECT_EQ(ReadWholeFile(path), std::vector<std::uint8_t>(64, 0x5A));
}

TEST_F(EditorCells, ReloadAllReadsBoundCellsOnly)
{
    Open(std::vector<std::uint8_t>(64, 0xFF));
    state.EditorSlots[0] = {16, Filled(0), std::nullopt};
    state.EditorSlots[1] = {UnboundTile, Filled(2), std::nullopt};
    EXPECT_EQ(ReloadAllSlots(state), std::vector<int>{0});
    EXPECT_EQ(state.EditorSlots[0].Pixels, Filled(3));
    EXPECT_EQ(state.EditorSlots[1].Pixels, Filled(2));
    EXPECT_EQ(state.EditorSlots[2].Address, EmptySlot);
}

TEST_F(EditorCells, CellsAreWrittenBackInTheModeTheyWereReadIn)
{
    // Two 1 bpp tiles side by side: "A" at 0, "B" at 8; a 1 bpp tile ends the file.
    std::vector<std::uint8_t> rom(64, 0x5A);
    for (int i = 0; i < 8; ++i) {
        rom[i] = static_cast<std::uint8_t>(0x10 + i);
        rom[8 + i] = static_cast<std::uint8_t>(0xB0 + i);
    }
    const std::string path = Open(rom);
    state.CurrentMode = ModeOneBit;
    ASSERT_TRUE(LoadSlot(state, dialogs, 0, 0));
    ASSERT_TRUE(LoadSlot(state, dialogs, 56, 1));
    EXPECT_EQ(state.EditorSlots[0].Mode, std::optional<std::uint8_t>(ModeOneBit));

    state.CurrentMode = ModeGameboy;
    PaintPixel(state.EditorSlots, 0, 7, 0, 1);  // row 0 was 0x10
    const SaveAllResult result = SaveAllSlots(state);
    EXPECT_EQ(result.Written, 2);  // the tile at 56 fits in its own 8 bytes
    std::vector<std::uint8_t> expected = rom;
    expected[0] = 0x11;
    EXPECT_EQ(ReadWholeFile(path), expected);

    // Reloaded in the current mode, the cell takes that mode over.
    ASSERT_TRUE(ReloadSlot(state, 0, 0));
    EXPECT_EQ(state.EditorSlots[0].Mode, std::optional<std::uint8_t>(ModeGameboy));
    EXPECT_EQ(SaveModeOf(state.EditorSlots[0], ModeOneBit), ModeGameboy);
    // Read from another address than its own, the cell forgets its mode.
    ASSERT_TRUE(ReloadSlot(state, 1, 16));
    EXPECT_FALSE(state.EditorSlots[1].Mode.has_value());
    EXPECT_EQ(SaveModeOf(state.EditorSlots[1], ModeNes), ModeNes);
    EXPECT_FALSE(ReloadSlot(state, 2, -1));
}

TEST_F(EditorCells, CellsBoundWithoutReadingUseTheCurrentMode)
{
    const std::string path = Open(std::vector<std::uint8_t>(64, 0));
    state.CurrentMode = ModeOneBit;
    ASSERT_TRUE(LoadSlot(state, dialogs, 0, 0));
    state.CurrentMode = ModeGameboy;
    AddressPattern pattern;
    pattern.Addresses.fill(EmptySlot);
    pattern.Addresses[0] = 16;
    ApplyPattern(state, pattern, false);
    EXPECT_FALSE(state.EditorSlots[0].Mode.has_value());
    state.EditorSlots[0].Pixels.fill(3);
    EXPECT_EQ(SaveAllSlots(state).Written, 1);
    const auto bytes = ReadWholeFile(path);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0xFF), 16);  // a whole Gameboy tile
    EXPECT_EQ(bytes[16], 0xFF);
    EXPECT_EQ(bytes[31], 0xFF);

    // With reloading, the pattern's cells are read, and so get the current mode.
    ApplyPattern(state, pattern, true);
    EXPECT_EQ(state.EditorSlots[0].Mode, std::optional<std::uint8_t>(ModeGameboy));
    // Opening a file unbinds every cell, mode included.
    Open(std::vector<std::uint8_t>(64, 0));
    EXPECT_FALSE(state.EditorSlots[0].Mode.has_value());
}

TEST(EditorCanvas, HitTestAtZoomThree)
{
    const auto left = HitCanvas(23, 0, 0, 0, 3, 400, 400);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->Column, 0);
    EXPECT_EQ(left->PixelX, 7);
    EXPECT_EQ(left->PixelY, 0);
    const auto right = HitCanvas(24, 0, 0, 0, 3, 400, 400);
    ASSERT_TRUE(right);
    EXPECT_EQ(right->Column, 1);
    EXPECT_EQ(right->PixelX, 0);

    EXPECT_TRUE(HitCanvas(383, 383, 0, 0, 3, 400, 400));
    EXPECT_EQ(HitCanvas(383, 383, 0, 0, 3, 400, 400)->Slot(), 255);
    EXPECT_FALSE(HitCanvas(384, 0, 0, 0, 3, 400, 400));
    EXPECT_FALSE(HitCanvas(-1, 0, 0, 0, 3, 400, 400));
    EXPECT_FALSE(HitCanvas(100, 201, 0, 0, 3, 200, 200));
    // Scrolled: the window point 0 lies over canvas pixel 10.
    EXPECT_EQ(HitCanvas(0, 0, 30, 0, 3, 200, 200)->Column, 1);
    EXPECT_EQ(HitCanvas(0, 0, 30, 0, 3, 200, 200)->PixelX, 2);
    // A scrolled point beyond the last canvas pixel is no cell.
    EXPECT_FALSE(HitCanvas(300, 0, 100, 0, 3, 400, 400));
}

TEST(EditorCanvas, DropsAndScrollRanges)
{
    EXPECT_EQ(DropSlot(30, 50, 0, 0, 3, 400, 400), 2 * 16 + 1);
    EXPECT_FALSE(DropSlot(390, 10, 0, 0, 3, 400, 400));  // the gray margin
    EXPECT_FALSE(DropSlot(-1, 10, 0, 0, 3, 400, 400));
    EXPECT_FALSE(DropSlot(10, 401, 0, 0, 3, 400, 400));

    // 2000 twips (133 pixels) at zoom 30: both bars enabled.
    EXPECT_EQ(EditScrollMaximum(30, 133), 3840 - (133 - 17));
    EXPECT_EQ(EditScrollMaximum(3, 401), 0);
    EXPECT_EQ(EditScrollMaximum(3, 400), 1);
}

TEST_F(EditorCells, UnsavedEditsFollowPaintReadWriteAndUnbinding)
{
    Open(CountingBytes(256));
    EditorSlotTable& slots = state.EditorSlots;
    ASSERT_TRUE(LoadSlot(state, dialogs, 32, 0));
    slots[1] = {32, slots[0].Pixels, ModeGameboy};  // a twin
    ASSERT_TRUE(LoadSlot(state, dialogs, 240, 2));
    slots[3] = {250, Filled(1), std::nullopt, true};  // its tile ends past the file
    EXPECT_EQ(UnsavedTileCount(state), 0);

    PaintPixel(slots, 0, 1, 1, 3);
    EXPECT_TRUE(slots[0].Edited && slots[1].Edited);
    PaintPixel(slots, 9, 0, 0, 2);  // unbound: nothing the file could take
    EXPECT_TRUE(slots[9].Edited);
    FillSlot(slots, 2, 1);
    EXPECT_EQ(UnsavedTileCount(state), 3);
    EXPECT_EQ(UnsavedTilesText(3), "3 edited tiles are not saved to the file.");
    EXPECT_EQ(UnsavedTilesText(1), "1 edited tile is not saved to the file.");

    // Written at its own address, a cell and its twin are saved; read from
    // another address, a cell no longer matches its own.
    ASSERT_TRUE(SaveSlot(state, 1));
    EXPECT_FALSE(slots[0].Edited || slots[1].Edited);
    ASSERT_TRUE(ReloadSlot(state, 0, 64));
    EXPECT_TRUE(slots[0].Edited);
    ASSERT_TRUE(ReloadSlot(state, 0, 32));
    EXPECT_FALSE(slots[0].Edited);
    EXPECT_EQ(UnsavedTileCount(state), 1);

    // Cells that no longer belong to the file hold nothing unsaved.
    UnbindAllSlots(slots);
    EXPECT_FALSE(slots[2].Edited);
    EXPECT_EQ(UnsavedTileCount(state), 0);
}

TEST_F(EditorCells, PatternsWithoutReadingLeaveTheirCellsUnsaved)
{
    Open(CountingBytes(256));
    AddressPattern pattern;
    pattern.Addresses.fill(-1);
    pattern.Addresses[4] = 48;
    state.EditorSlots[4].Pixels = Filled(3);
    ApplyPattern(state, pattern, false);
    EXPECT_EQ(UnsavedTileCount(state), 1);
    ApplyPattern(state, pattern, true);
    EXPECT_EQ(UnsavedTileCount(state), 0);
}
