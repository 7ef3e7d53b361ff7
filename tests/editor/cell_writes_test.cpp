#include "model/core/rom_session.h"
#include "model/editor/cell_writes.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// The 1bpp mode: one byte per pixel row, so a tile is 8 bytes. The state's
// current mode stays Game Boy (16 bytes), so the mode passed is what counts.
constexpr GraphicsMode OneBpp = ModeOneBit;

class CellWrites : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitState(state);
        state.ShowSaveWarning = false;
        path = dir.WriteFile("game.gb", CountingBytes(64));
        ASSERT_TRUE(OpenRomInState(state, path).Opened);
        // Row y of the tile is the bit pattern of y: pixel x is bit 7 - x.
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                state.EditorSlots[5].Pixels[y * 8 + x] = (y >> (7 - x)) & 1;
    }

    TempDir dir;
    std::string path;
    ProgramState state;
    ScriptedDialogs dialogs;
};

TEST_F(CellWrites, ATileInsideTheFileIsWrittenInTheGivenMode)
{
    const CellWriteResult result = WriteCellTo(state, dialogs, 5, 56, OneBpp);
    EXPECT_EQ(result.Outcome, CellWriteOutcome::Written);
    EXPECT_TRUE(result.Confirmed());
    EXPECT_FALSE(result.Report.InfoText);
    EXPECT_FALSE(result.Report.Message);
    std::vector<std::uint8_t> expected = CountingBytes(64);
    for (int y = 0; y < 8; ++y)
        expected[56 + y] = static_cast<std::uint8_t>(y);
    EXPECT_EQ(ReadWholeFile(path), expected);
    EXPECT_TRUE(dialogs.Prompts.empty());
}

TEST_F(CellWrites, ATileReachingPastEitherEndIsRefusedWithoutAsking)
{
    state.ShowSaveWarning = true;  // would ask if it got that far
    for (const std::int64_t address : {std::int64_t{57}, std::int64_t{-1}, std::int64_t{1} << 33}) {
        const CellWriteResult result = WriteCellTo(state, dialogs, 5, address, OneBpp);
        EXPECT_EQ(result.Outcome, CellWriteOutcome::OutsideFile);
        EXPECT_FALSE(result.Confirmed());
        EXPECT_EQ(result.Report.InfoText,
                  "The tile at address " + std::to_string(address) + " lies outside the file; nothing was written.");
    }
    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_EQ(ReadWholeFile(path), CountingBytes(64));
}

TEST_F(CellWrites, ANoToTheSaveWarningWritesNothingAndSaysNothing)
{
    state.ShowSaveWarning = true;
    dialogs.QueueYesNo(false);
    const CellWriteResult result = WriteCellTo(state, dialogs, 5, 0, OneBpp);
    EXPECT_EQ(result.Outcome, CellWriteOutcome::Declined);
    EXPECT_FALSE(result.Report.InfoText);
    EXPECT_FALSE(result.Report.Message);
    EXPECT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(ReadWholeFile(path), CountingBytes(64));
}

TEST_F(CellWrites, ARefusedWriteReportsItsReasonInAMessageBox)
{
    state.FileHandle.SetWriterForTesting([](int, const void*, std::size_t, off_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    const CellWriteResult result = WriteCellTo(state, dialogs, 5, 8, OneBpp);
    EXPECT_EQ(result.Outcome, CellWriteOutcome::Failed);
    EXPECT_TRUE(result.Confirmed());
    ASSERT_TRUE(result.Report.Message);
    EXPECT_EQ(result.Report.Message->Caption, "Could not write to file");
    EXPECT_EQ(result.Report.Message->Icon, MsgIcon::Critical);
    EXPECT_NE(result.Report.Message->Text.find("No space left on device"), std::string::npos)
        << result.Report.Message->Text;
    EXPECT_EQ(ReadWholeFile(path), CountingBytes(64));
}

TEST_F(CellWrites, SaveAllCountsWrittenTilesAndStopsAtTheFirstRefusal)
{
    state.EditorSlots[5].Address = 8;
    state.EditorSlots[5].Mode = OneBpp;
    state.EditorSlots[6].Address = 60;  // runs past the end: skipped
    EditReport report = SaveAllCells(state, dialogs);
    EXPECT_EQ(report.InfoText, "Saved 1 tiles to file");
    EXPECT_FALSE(report.Message);

    state.FileHandle.SetWriterForTesting([](int, const void*, std::size_t, off_t) -> ssize_t {
        errno = EIO;
        return -1;
    });
    report = SaveAllCells(state, dialogs);
    EXPECT_EQ(report.InfoText, "Saved 0 tiles to file");
    ASSERT_TRUE(report.Message);
    EXPECT_EQ(report.Message->Caption, "Could not write to file");

    CloseRomInState(state);
    report = SaveAllCells(state, dialogs);
    EXPECT_EQ(report.InfoText, "Saved 0 tiles to file");
    EXPECT_FALSE(report.Message);
    EXPECT_TRUE(dialogs.Prompts.empty());
}

TEST(TileAddressAt, CountsTilesAlongTheGridInSixtyFourBits)
{
    ProgramState state;
    InitState(state);
    state.CurrentMode = OneBpp;
    state.BrowserAddress = 100;
    state.BrowserColumns = 8;
    EXPECT_EQ(TileAddressAt(state, 0, 0), 100);
    EXPECT_EQ(TileAddressAt(state, 3, 2), 100 + 8 * (3 + 8 * 2));
    state.BrowserAddress = 0x7FFFFFF0;
    EXPECT_EQ(TileAddressAt(state, 7, 15), 0x7FFFFFF0LL + 8 * (7 + 8 * 15));
    state.EditorCursorCol = 15;
    state.EditorCursorRow = 2;
    EXPECT_EQ(CursorSlot(state), 47);
}

}  // namespace
