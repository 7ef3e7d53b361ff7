#include "ui/editor/tile_ctrl.h"

#include "model/core/mode_table.h"
#include "model/core/program_state.h"
#include "model/core/rom_session.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_shell.h"
#include "ui/app/main_form.h"
#include "ui/floor/windows.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// A tile whose Gameboy bytes are known: pixel (0,0) = 1, (7,0) = 2,
// (3,4) = 3 and the whole bottom row 3.
TilePixels PatternTile()
{
    TilePixels pixels{};
    pixels[0] = 1;
    pixels[7] = 2;
    pixels[4 * 8 + 3] = 3;
    std::fill(pixels.begin() + 56, pixels.end(), 3);
    return pixels;
}

const std::vector<std::uint8_t> PatternBytes{0x80, 0x01, 0, 0, 0, 0, 0, 0, 0x10, 0x10, 0, 0, 0, 0, 0xFF, 0xFF};

TilePixels LonePixel(int x, int y)
{
    TilePixels pixels{};
    pixels[y * 8 + x] = 1;
    return pixels;
}

std::vector<std::uint8_t> WithTileAt(std::vector<std::uint8_t> bytes, std::size_t address)
{
    std::copy(PatternBytes.begin(), PatternBytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(address));
    return bytes;
}

std::string Text(const QLineEdit* field)
{
    return field->text().toStdString();
}

std::string Text(const QLabel* label)
{
    return label->text().toStdString();
}

// The tool alone, on scripted dialogs, with no other window; the Gameboy
// mode (16 bytes per tile) is current.
class TileCtrlTest : public ::testing::Test {
protected:
    TileCtrlTest() : tool((InitState(state), state), windows)
    {
        state.CurrentMode = ModeGameboy;
        windows.TileCtrl = &tool;
    }

    void TearDown() override { EXPECT_TRUE(dialogs.AllAnswersUsed()); }

    // Writes the ROM and opens it into the state; with readOnly the file
    // loses every write bit first.
    void OpenRom(const std::vector<std::uint8_t>& bytes, bool readOnly = false)
    {
        original = bytes;
        path = dir.WriteFile("game.gb", bytes);
        if (readOnly)
            ::chmod(path.c_str(), 0444);
        ASSERT_TRUE(OpenRomInState(state, path).Opened);
    }

    // As a copy from the browser does: as one step.
    void Bind(int slot, std::int32_t address, const TilePixels& pixels = PatternTile())
    {
        RecordStep(state.Recorder, "copy of a tile", [&] {
            state.EditorSlots[slot].Address = address;
            state.EditorSlots[slot].Pixels = pixels;
        });
    }

    std::vector<std::uint8_t> FileBytes() const { return ReadWholeFile(path); }

    std::vector<QWidget*> Controls() const
    {
        return {tool.BtFlipX,      tool.BtFlipY,         tool.BtRotate,      tool.BtDeleteSprite, tool.SaveTile,
                tool.BtReloadTile, tool.BtCopyToAddress, tool.BtCopySelTile, tool.EdAdd};
    }

    void ExpectControlsEnabled(bool enabled) const
    {
        for (QWidget* control : Controls())
            EXPECT_EQ(control->isEnabled(), enabled) << control->toolTip().toStdString();
    }

    TempDir dir;
    ProgramState state;
    ScriptedDialogs dialogs;
    TestShell shell;
    Windows windows{dialogs, shell};
    TileCtrl tool;
    std::string path;
    std::vector<std::uint8_t> original;
};

}  // namespace

TEST_F(TileCtrlTest, CaptionAndToolTips)
{
    EXPECT_EQ(tool.windowTitle().toStdString(), "Tile Tool");
    EXPECT_EQ(tool.BtFlipX->toolTip().toStdString(), "Horizantally flip the selected tile");
    EXPECT_EQ(tool.BtFlipY->toolTip().toStdString(), "Vertically flip the selected tile");
    EXPECT_EQ(tool.BtRotate->toolTip().toStdString(), "Rotate the selected tile");
    EXPECT_EQ(tool.BtDeleteSprite->toolTip().toStdString(), "Clear the selected tile");
    EXPECT_EQ(tool.SaveTile->toolTip().toStdString(), "Save the selected tile to file");
    EXPECT_EQ(tool.BtReloadTile->toolTip().toStdString(), "Reload the selected tile to file");
    EXPECT_EQ(tool.BtCopyToAddress->toolTip().toStdString(), "Copy selected tile to the address beneath");
    EXPECT_EQ(tool.BtCopySelTile->toolTip().toStdString(),
              "Copy selected tile to the selected position in the browser");
}

// ---- LoadTile and the address field ----

TEST_F(TileCtrlTest, BoundCellShowsItsAddressAndEnablesEverything)
{
    OpenRom(CountingBytes(4096));
    Bind(3, 960);
    tool.LoadTile(3);
    EXPECT_EQ(tool.ToolSlot(), 3);
    EXPECT_EQ(tool.ToolAddress(), 960);
    EXPECT_EQ(Text(tool.EdAdd), "960");
    EXPECT_EQ(Text(tool.LbHex), "000003C0 hex");
    ExpectControlsEnabled(true);
}

TEST_F(TileCtrlTest, EmptyCellShowsNotAvailableAndDisablesEverything)
{
    OpenRom(CountingBytes(4096));
    Bind(3, 960);
    tool.LoadTile(3);
    tool.LoadTile(4);  // never filled
    EXPECT_EQ(tool.ToolSlot(), 4);
    EXPECT_EQ(tool.ToolAddress(), EmptySlot);
    EXPECT_EQ(Text(tool.EdAdd), "n/a");
    EXPECT_EQ(Text(tool.LbHex), "n/a");
    ExpectControlsEnabled(false);

    tool.LoadTile(3);
    tool.LoadTile(-1);
    EXPECT_EQ(tool.ToolSlot(), -1);
    EXPECT_EQ(Text(tool.EdAdd), "n/a");
    ExpectControlsEnabled(false);
}

TEST_F(TileCtrlTest, UnboundCellShowsNotAvailableButSaveWritesAndAsksNothing)
{
    OpenRom(CountingBytes(1000));
    Bind(0, UnboundTile);
    tool.LoadTile(0);
    EXPECT_EQ(tool.ToolAddress(), UnboundTile);
    EXPECT_EQ(Text(tool.EdAdd), "n/a");
    EXPECT_EQ(Text(tool.LbHex), "n/a");
    ExpectControlsEnabled(true);

    // Typing cannot give an unbound cell an address.
    QTest::keyClicks(tool.EdAdd, "12");
    EXPECT_EQ(Text(tool.EdAdd), "n/a");

    tool.SaveTile_Click();
    tool.BtCopyToAddress_Click();
    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_EQ(FileBytes(), original);
}

TEST_F(TileCtrlTest, TypedAddressStopsAtTheLastWholeTile)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 32);
    tool.LoadTile(0);
    tool.EdAdd->clear();
    QTest::keyClicks(tool.EdAdd, "5000");
    EXPECT_EQ(Text(tool.EdAdd), "984");
    EXPECT_EQ(Text(tool.LbHex), "000003D8 hex");

    tool.EdAdd->setText("985");
    EXPECT_EQ(Text(tool.EdAdd), "984");
    tool.EdAdd->setText("984");
    EXPECT_EQ(Text(tool.EdAdd), "984");
    // Typing never rebinds the cell.
    EXPECT_EQ(state.EditorSlots[0].Address, 32);
    EXPECT_EQ(tool.ToolAddress(), 32);
}

TEST_F(TileCtrlTest, HexLabelFollowsTheLenientReading)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 32);
    tool.LoadTile(0);
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "00000000 hex"},      {"&H1F", "0000001F hex"}, {"2.5", "00000002 hex"}, {"3.5", "00000004 hex"},
        {"12abc", "0000000C hex"}, {"-7", "00000000 hex"},   {"n/a", "n/a"},
    };
    for (const auto& [typed, shown] : cases) {
        tool.EdAdd->setText(QString::fromStdString(typed));
        EXPECT_EQ(Text(tool.EdAdd), typed);
        EXPECT_EQ(Text(tool.LbHex), shown) << typed;
    }
}

// ---- Flips and rotation ----

TEST_F(TileCtrlTest, FlipsTwiceAndFourRotationsRestoreTheTile)
{
    Bind(0, UnboundTile);
    tool.LoadTile(0);
    const TilePixels& pixels = state.EditorSlots[0].Pixels;

    tool.BtFlipX_Click();
    EXPECT_EQ(pixels[7], 1);
    EXPECT_EQ(pixels[0], 2);
    tool.BtFlipX_Click();
    EXPECT_EQ(pixels, PatternTile());

    tool.BtFlipY_Click();
    EXPECT_EQ(pixels[7 * 8 + 0], 1);
    EXPECT_EQ(pixels[0], 3);
    tool.BtFlipY_Click();
    EXPECT_EQ(pixels, PatternTile());

    for (int turn = 1; turn < 4; ++turn) {
        tool.BtRotate_Click();
        EXPECT_NE(pixels, PatternTile()) << turn;
    }
    tool.BtRotate_Click();
    EXPECT_EQ(pixels, PatternTile());
}

TEST_F(TileCtrlTest, RotationTurnsCounterClockwise)
{
    Bind(0, UnboundTile, LonePixel(7, 0));
    tool.LoadTile(0);
    tool.BtRotate_Click();
    EXPECT_EQ(state.EditorSlots[0].Pixels, LonePixel(0, 0));
    tool.BtRotate_Click();
    EXPECT_EQ(state.EditorSlots[0].Pixels, LonePixel(0, 7));
}

TEST_F(TileCtrlTest, TransformReachesEveryCellWithTheSameAddress)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 64, LonePixel(0, 0));
    Bind(5, 64, LonePixel(0, 0));
    Bind(6, 80, LonePixel(0, 0));
    tool.LoadTile(0);
    tool.BtFlipX_Click();
    EXPECT_EQ(state.EditorSlots[0].Pixels, LonePixel(7, 0));
    EXPECT_EQ(state.EditorSlots[5].Pixels, LonePixel(7, 0));
    EXPECT_EQ(state.EditorSlots[6].Pixels, LonePixel(0, 0));
    tool.BtRotate_Click();
    EXPECT_EQ(state.EditorSlots[5].Pixels, LonePixel(0, 0));
    EXPECT_EQ(state.EditorSlots[6].Pixels, LonePixel(0, 0));
}

TEST_F(TileCtrlTest, NothingHappensWithoutACell)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 64);
    tool.LoadTile(0);
    tool.LoadTile(-1);
    tool.BtFlipX_Click();
    tool.BtFlipY_Click();
    tool.BtRotate_Click();
    tool.BtDeleteSprite_Click();
    tool.SaveTile_Click();
    tool.BtReloadTile_Click();
    tool.BtCopyToAddress_Click();
    tool.BtCopySelTile_Click();
    EXPECT_EQ(state.EditorSlots[0].Address, 64);
    EXPECT_EQ(state.EditorSlots[0].Pixels, PatternTile());
    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_EQ(FileBytes(), original);
}

TEST_F(TileCtrlTest, ClearEmptiesTheCellAndReleasesTheTool)
{
    OpenRom(CountingBytes(1000));
    Bind(2, 64);
    tool.LoadTile(2);
    tool.BtDeleteSprite_Click();
    EXPECT_EQ(state.EditorSlots[2].Address, EmptySlot);
    EXPECT_EQ(state.EditorSlots[2].Pixels, TilePixels{});
    EXPECT_EQ(tool.ToolSlot(), -1);
    EXPECT_EQ(Text(tool.EdAdd), "n/a");
    ExpectControlsEnabled(false);
}

TEST_F(TileCtrlTest, ReloadReadsOnlyTheToolsCell)
{
    OpenRom(WithTileAt(CountingBytes(1000), 48));
    Bind(0, 48, LonePixel(1, 1));
    Bind(9, 48, LonePixel(1, 1));
    tool.LoadTile(0);
    tool.BtReloadTile_Click();
    EXPECT_EQ(state.EditorSlots[0].Pixels, PatternTile());
    EXPECT_EQ(state.EditorSlots[9].Pixels, LonePixel(1, 1));
}

// ---- Writing ----

TEST_F(TileCtrlTest, SaveWritesATileEndingExactlyAtTheEndOfTheFile)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 984);
    tool.LoadTile(0);
    // The field is not where Save writes.
    tool.EdAdd->setText("16");
    dialogs.QueueYesNo(true);
    tool.SaveTile_Click();
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].Caption, "Saving?");
    const std::vector<std::uint8_t> bytes = FileBytes();
    EXPECT_EQ(bytes.size(), 1000u);
    EXPECT_EQ(bytes, WithTileAt(original, 984));
}

TEST_F(TileCtrlTest, SaveDeclinedWritesNothing)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 96);
    tool.LoadTile(0);
    dialogs.QueueYesNo(false);
    tool.SaveTile_Click();
    EXPECT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(FileBytes(), original);
}

TEST_F(TileCtrlTest, SaveToAReadOnlyFileIsRefused)
{
    OpenRom(CountingBytes(1000), true);
    Bind(0, 96);
    tool.LoadTile(0);
    tool.SaveTile_Click();
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::Message);
    EXPECT_EQ(dialogs.Prompts[0].Text, "The opened file is 'read only'.");
    EXPECT_EQ(dialogs.Prompts[0].Caption, "Could not write to file");
    EXPECT_EQ(FileBytes(), original);
}

TEST_F(TileCtrlTest, CopyToAddressWritesThereAndKeepsTheCellsAddress)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 960);
    tool.LoadTile(0);
    tool.EdAdd->setText("32");
    dialogs.QueueYesNo(true);
    tool.BtCopyToAddress_Click();
    EXPECT_EQ(FileBytes(), WithTileAt(original, 32));
    EXPECT_EQ(state.EditorSlots[0].Address, 960);
    EXPECT_EQ(tool.ToolAddress(), 960);
}

TEST_F(TileCtrlTest, CopyToAddressOutsideTheFileOnlyTellsTheUser)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 32);
    tool.LoadTile(0);
    tool.EdAdd->setText("984");
    // A larger tile at the same address runs past the end.
    state.CurrentMode = ModeSnes4bpp;
    tool.BtCopyToAddress_Click();
    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_EQ(FileBytes(), original);
    EXPECT_EQ(shell.InfoText, "The tile at address 984 lies outside the file; nothing was written.");
}

TEST_F(TileCtrlTest, RefusedWriteShowsTheFailureMessage)
{
    OpenRom(CountingBytes(2000));
    // Another program shortens the file after the open.
    std::filesystem::resize_file(path, 1000);
    original.resize(1000);
    Bind(0, 32);
    tool.LoadTile(0);
    tool.EdAdd->setText("1500");
    dialogs.QueueYesNo(true);
    tool.BtCopyToAddress_Click();
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].Text, "The file '" + path +
                                           "' was changed, moved or deleted outside Brixel, so nothing was written. "
                                           "Open it again to go on.");
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Could not write to file");
    EXPECT_EQ(dialogs.Prompts[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(FileBytes(), original);
}

TEST_F(TileCtrlTest, CopyToSelectionWritesAtTheSelectedTile)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 960);
    tool.LoadTile(0);
    state.BrowserAddress = 16;
    state.BrowserSelX = 2;
    state.BrowserSelY = 1;  // 16 + 16 * (2 + 8 * 1) = 176
    dialogs.QueueYesNo(false);
    tool.BtCopySelTile_Click();
    EXPECT_EQ(FileBytes(), original);

    dialogs.QueueYesNo(true);
    tool.BtCopySelTile_Click();
    EXPECT_EQ(FileBytes(), WithTileAt(original, 176));
    EXPECT_EQ(state.EditorSlots[0].Address, 960);
}

TEST_F(TileCtrlTest, CopyToSelectionOutsideTheFileOnlyTellsTheUser)
{
    OpenRom(CountingBytes(1000));
    Bind(0, 960);
    tool.LoadTile(0);
    state.BrowserAddress = 985;
    tool.BtCopySelTile_Click();
    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_EQ(FileBytes(), original);
    EXPECT_EQ(shell.InfoText, "The tile at address 985 lies outside the file; nothing was written.");
}
