#include "model/core/rom_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

TEST(RomSession, OpeningSetsTheFileValuesAndUnbindsEveryFilledCell)
{
    TempDir dir;
    ProgramState state;
    InitState(state);
    state.BrowserAddress = 512;
    state.EditorSlots[3].Address = 96;
    state.EditorSlots[4].Address = UnboundTile;
    const std::string path = dir.WriteFile("game.gb", CountingBytes(4096));

    const OpenRomOutcome outcome = OpenRomInState(state, path);
    EXPECT_TRUE(outcome.Opened);
    EXPECT_TRUE(outcome.Problem.empty());
    EXPECT_TRUE(state.FileOpen());
    EXPECT_EQ(state.FileName(), path);
    EXPECT_EQ(state.FileLength(), 4096);
    EXPECT_EQ(state.BrowserAddress, 0);
    EXPECT_EQ(OpenedInfoText(state), "Opened " + path + " (4096 bytes)");
    EXPECT_EQ(state.EditorSlots[3].Address, UnboundTile);
    EXPECT_EQ(state.EditorSlots[4].Address, UnboundTile);
    EXPECT_EQ(state.EditorSlots[5].Address, EmptySlot);

    EXPECT_EQ(CloseRomInState(state), "Closed file " + path);
    EXPECT_FALSE(state.FileOpen());
    EXPECT_FALSE(state.FileHandle.IsOpen());
    EXPECT_TRUE(state.FileName().empty());
}

TEST(RomSession, CancelOrMissingNameIsSilentAndClosesTheOldFile)
{
    TempDir dir;
    ProgramState state;
    InitState(state);
    ASSERT_TRUE(OpenRomInState(state, dir.WriteFile("a.gb", CountingBytes(64))).Opened);
    state.EditorSlots[0].Address = 16;
    state.BrowserAddress = 32;

    for (const std::string& path : {std::string(), (dir.Path() / "missing.gb").string()}) {
        const OpenRomOutcome outcome = OpenRomInState(state, path);
        EXPECT_FALSE(outcome.Opened);
        EXPECT_TRUE(outcome.Problem.empty());
        EXPECT_FALSE(state.FileOpen());
        EXPECT_FALSE(state.FileHandle.IsOpen());
    }
    EXPECT_EQ(state.EditorSlots[0].Address, UnboundTile);
}

TEST(RomSession, ExistingButUnopenableNameGivesAReason)
{
    TempDir dir;
    ProgramState state;
    InitState(state);
    const OpenRomOutcome outcome = OpenRomInState(state, dir.Path().string());
    EXPECT_FALSE(outcome.Opened);
    EXPECT_EQ(outcome.Problem, "'" + dir.Path().string() + "' is a folder, not a file.");
    EXPECT_FALSE(state.FileOpen());
}

TEST(RomSession, EmptyFileOpensWithLengthZero)
{
    TempDir dir;
    ProgramState state;
    InitState(state);
    const std::string path = dir.WriteFile("empty.gb", {});
    ASSERT_TRUE(OpenRomInState(state, path).Opened);
    EXPECT_EQ(OpenedInfoText(state), "Opened " + path + " (0 bytes)");
}
