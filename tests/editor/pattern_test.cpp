#include "ui/editor/pattern.h"

#include "model/core/mode_table.h"
#include "model/core/program_state.h"
#include "model/core/rom_session.h"
#include "model/editor/bmp_exchange.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_shell.h"
#include "support/viewer_fixture.h"
#include "ui/editor/bmp_actions.h"
#include "ui/editor/editor.h"
#include "ui/floor/windows.h"
#include "ui/palette/palette_ctrl.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const char* const PatternFilter = "Brixel editor patterns file (*.eap)|*.eap|All files (*.*)|*.*";
const char* const BmpFilter = "Bitmap file 128x128x256 colors (*.BMP)|*.bmp";

std::vector<std::string> ListTexts(const QListWidget* list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->item(i)->text().toStdString());
    return texts;
}

QRgb Rgb(PackedColor color)
{
    return qRgb(RedOf(color), GreenOf(color), BlueOf(color));
}

void ExpectPrompt(const ScriptedDialogs::Prompt& prompt, ScriptedDialogs::Kind kind, const std::string& text,
                  const std::string& caption, MsgIcon icon = MsgIcon::None)
{
    EXPECT_EQ(prompt.PromptKind, kind);
    EXPECT_EQ(prompt.Text, text);
    EXPECT_EQ(prompt.Caption, caption);
    EXPECT_EQ(prompt.Icon, icon);
}

// The pattern window alone on scripted dialogs, with the GBA 8bpp mode
// current: the tile at address a holds the bytes a, a + 1, ...
class PatternWindow : public ::testing::Test {
protected:
    PatternWindow() : window((InitState(state), state), windows)
    {
        state.CurrentMode = ModeGba8bpp;
        windows.Pattern = &window;
    }

    void TearDown() override { EXPECT_TRUE(dialogs.AllAnswersUsed()); }

    void OpenRom(const Bytes& bytes) { ASSERT_TRUE(OpenRomInState(state, dir.WriteFile("game.gba", bytes)).Opened); }

    // Binds cell i to address i * 64 for the first count cells.
    void BindCells(int count)
    {
        RecordStep(state.Recorder, "copy of a tile", [&] {
            for (int i = 0; i < count; ++i)
                state.EditorSlots[i].Address = i * 64;
        });
    }

    void Select(int row) { window.ListPat->setCurrentRow(row); }

    TempDir dir;
    ProgramState state;
    ScriptedDialogs dialogs;
    TestShell shell;
    Windows windows{dialogs, shell};
    Pattern window;
};

}  // namespace

// --- The window and its list ---

TEST_F(PatternWindow, CaptionControlsAndStartValues)
{
    EXPECT_EQ(window.windowTitle().toStdString(), "Editor Address Patterns");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(window.BtAddPat->toolTip().toStdString(), "Add an Editor Address pattern");
    EXPECT_EQ(window.BtDelPat->toolTip().toStdString(), "Delete the selected Editor Address Pattern");
    EXPECT_EQ(window.BtLoadPat->toolTip().toStdString(), "Apply the selected address pattern to the editor");
    EXPECT_EQ(window.BtSave->toolTip().toStdString(), "Save the set of Editor Address Patterns");
    EXPECT_EQ(window.BtLoad->toolTip().toStdString(), "Load a set of Editor Address Patterns");
    EXPECT_EQ(window.OpBMP->text().toStdString(), "Only apply new addresses but do not reload (for BMP Import).");
    EXPECT_EQ(window.OpRedraw->text().toStdString(), "Reload the editor's tiles after applying the address pattern.");
    EXPECT_TRUE(window.OpRedraw->isChecked());
    EXPECT_FALSE(window.OpBMP->isChecked());
    EXPECT_EQ(window.Patterns().PatternCount, 0);
    EXPECT_EQ(window.ListPat->count(), 0);
}

TEST_F(PatternWindow, AddListsTheDescriptionsAndCapturesTheAddresses)
{
    BindCells(3);
    RecordStep(state.Recorder, "paint", [&] { state.EditorSlots[3].Address = UnboundTile; });
    window.BtAddPat->click();
    window.EdDes->setText(QString::fromLatin1("Caf\xE9"));
    window.BtAddPat->click();

    EXPECT_EQ(ListTexts(window.ListPat), (std::vector<std::string>{"No description", "Caf\xC3\xA9"}));
    EXPECT_EQ(window.Patterns().Patterns[1].Description, "Caf\xE9");  // stored as one byte
    EXPECT_EQ(window.Patterns().Patterns[0].Addresses[2], 128);
    EXPECT_EQ(window.Patterns().Patterns[0].Addresses[3], EmptySlot);
    EXPECT_EQ(window.ListPat->currentRow(), -1);
}

TEST_F(PatternWindow, ClickShowsRenameAndDeleteWorkOnTheSelection)
{
    for (const char* name : {"one", "two", "three"}) {
        window.EdDes->setText(QString::fromLatin1(name));
        window.BtAddPat->click();
    }
    const QRect second = window.ListPat->visualItemRect(window.ListPat->item(1));
    QTest::mouseClick(window.ListPat->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(window.EdDes->text().toStdString(), "two");

    window.EdDes->setText(QStringLiteral("second"));
    QTest::mouseDClick(window.EdDes, Qt::LeftButton);
    EXPECT_EQ(ListTexts(window.ListPat), (std::vector<std::string>{"one", "second", "three"}));

    // The refresh left nothing selected: rename and delete do nothing.
    window.EdDes->setText(QStringLiteral("ignored"));
    window.EdDes_DblClick();
    window.BtDelPat->click();
    EXPECT_EQ(ListTexts(window.ListPat), (std::vector<std::string>{"one", "second", "three"}));

    Select(0);
    window.EdDes->clear();
    window.EdDes_DblClick();  // an empty text stays empty
    EXPECT_EQ(window.Patterns().Patterns[0].Description, "");
    Select(1);
    window.BtDelPat->click();
    EXPECT_EQ(ListTexts(window.ListPat), (std::vector<std::string>{"", "three"}));
    EXPECT_EQ(window.Patterns().PatternCount, 2);
}

TEST_F(PatternWindow, HidesWhenDeactivated)
{
    window.ShowTool();
    EXPECT_TRUE(window.isVisible());
    window.Form_Deactivate();
    EXPECT_FALSE(window.isVisible());
    window.ShowTool();
    EXPECT_TRUE(window.isVisible());
}

// --- Apply ---

TEST_F(PatternWindow, ApplyAsksAndReloadsEveryCell)
{
    OpenRom(CountingBytes(8192));
    BindCells(2);
    window.BtAddPat->click();
    RecordStep(state.Recorder, "BMP import", [&] {
        state.EditorSlots[0] = {UnboundTile, {}, std::nullopt};
        state.EditorSlots[0].Pixels.fill(9);
        state.EditorSlots[1].Address = 4000;
        state.EditorSlots[5] = {UnboundTile, {}, std::nullopt};
        state.EditorSlots[5].Pixels.fill(9);
    });

    Select(0);
    dialogs.QueueYesNo(false);
    window.BtLoadPat->click();
    ExpectPrompt(dialogs.Prompts.at(0), ScriptedDialogs::Kind::YesNo,
                 "Do you really want to apply the editor address pattern?", "Applying editor address pattern");
    EXPECT_EQ(state.EditorSlots[1].Address, 4000);
    EXPECT_EQ(state.EditorSlots[0].Pixels[0], 9);

    dialogs.QueueYesNo(true);
    window.BtLoadPat->click();
    EXPECT_EQ(state.EditorSlots[0].Address, 0);
    EXPECT_EQ(state.EditorSlots[1].Address, 64);
    EXPECT_EQ(state.EditorSlots[5].Address, EmptySlot);
    EXPECT_EQ(state.EditorSlots[0].Pixels[63], 63);
    EXPECT_EQ(state.EditorSlots[1].Pixels[0], 64);
    EXPECT_EQ(state.EditorSlots[5].Pixels, TilePixels{});
}

TEST_F(PatternWindow, ApplyNeedsAFileAndASelection)
{
    BindCells(4);
    window.BtAddPat->click();
    state.EditorSlots[0].Address = 999;
    Select(0);
    window.BtLoadPat->click();  // no file open: no question
    OpenRom(CountingBytes(1024));
    state.EditorSlots[0].Address = 999;
    Select(-1);
    window.BtLoadPat->click();
    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_EQ(state.EditorSlots[0].Address, 999);
}

TEST_F(PatternWindow, DoubleClickOnAnEntryApplies)
{
    OpenRom(CountingBytes(1024));
    BindCells(1);
    window.BtAddPat->click();
    RecordStep(state.Recorder, "copy of a tile", [&] { state.EditorSlots[0].Address = 512; });
    dialogs.QueueYesNo(true);
    window.show();
    const QRect first = window.ListPat->visualItemRect(window.ListPat->item(0));
    // A widget double-click event alone has no press before it; send both.
    QTest::mouseClick(window.ListPat->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(window.ListPat->viewport(), Qt::LeftButton, {}, first.center());
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(state.EditorSlots[0].Address, 0);
}

TEST_F(PatternWindow, BmpOptionBindsImportedPixelsThatSaveAllWrites)
{
    const std::string rom = dir.WriteFile("game.gba", Bytes(8192, 0));
    ASSERT_TRUE(OpenRomInState(state, rom).Opened);
    // A picture whose cell 0 is all 5 and cell 1 all 6.
    EditorSlotTable picture{};
    picture[0].Pixels.fill(5);
    picture[1].Pixels.fill(6);
    const std::string bmp = dir.WriteFile("in.bmp", BuildBmpFile(BuildBmpHeader(), picture, state.WorkingPalette));
    dialogs.QueueFile({bmp, 1});
    ImportBmp(state, windows);
    ASSERT_EQ(state.EditorSlots[0].Address, UnboundTile);

    RecordStep(state.Recorder, "pattern load", [&] {
        window.Patterns().PatternCount = 1;
        window.Patterns().Patterns[0].Addresses.fill(EmptySlot);
        window.Patterns().Patterns[0].Addresses[0] = 128;
        window.Patterns().Patterns[0].Addresses[1] = 4096;
    });
    window.RefreshPatternList();
    window.OpBMP->click();
    Select(0);
    dialogs.QueueYesNo(true);
    window.BtLoadPat->click();
    EXPECT_EQ(state.EditorSlots[0].Address, 128);
    EXPECT_EQ(state.EditorSlots[0].Pixels, picture[0].Pixels);

    EXPECT_EQ(SaveAllSlots(state).Written, 2);
    const Bytes written = ReadWholeFile(rom);
    EXPECT_EQ(Bytes(written.begin() + 128, written.begin() + 192), Bytes(64, 5));
    EXPECT_EQ(Bytes(written.begin() + 4096, written.begin() + 4160), Bytes(64, 6));
    EXPECT_EQ(written[127], 0);
    EXPECT_EQ(written[192], 0);
}

// --- Pattern files ---

TEST_F(PatternWindow, SaveWritesTheListCancelWritesNothingAFailureIsReported)
{
    BindCells(256);
    window.EdDes->setText(QStringLiteral("A"));
    window.BtAddPat->click();
    const std::string path = (dir.Path() / "set.eap").string();
    dialogs.QueueFile({});
    window.BtSave->click();
    dialogs.QueueFile({path, 1});
    window.BtSave->click();

    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    ExpectPrompt(dialogs.Prompts[1], ScriptedDialogs::Kind::SaveFile, PatternFilter, "");
    const Bytes bytes = ReadWholeFile(path);
    ASSERT_EQ(bytes.size(), 1029u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 9), (Bytes{'B', 'X', 'A', 'A', 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{0xC0, 0x3F, 0, 0}));  // 255 * 64

    const std::string unreachable = (dir.Path() / "gone" / "set.eap").string();
    dialogs.QueueFile({unreachable, 1});
    window.BtSave->click();
    ASSERT_EQ(dialogs.Prompts.size(), 4u);
    EXPECT_EQ(dialogs.Prompts[3].PromptKind, ScriptedDialogs::Kind::Message);
    EXPECT_EQ(dialogs.Prompts[3].Caption, "Saving failed");
    EXPECT_EQ(dialogs.Prompts[3].Icon, MsgIcon::Critical);
    EXPECT_EQ(
        dialogs.Prompts[3].Text.rfind("Could not save the editor address pattern file '" + unreachable + "': ", 0), 0u);
}

TEST_F(PatternWindow, LoadReplacesTheListAndAddThenRefuses)
{
    PatternList stored;
    for (int i = 0; i < 64; ++i)
        stored.Patterns[i].Description = "R" + std::to_string(i);
    stored.Patterns[7].Addresses[3] = 1234;
    stored.PatternCount = 64;
    const std::string path = dir.WriteFile("full.eap", BuildPatternFile(stored));
    window.BtAddPat->click();

    dialogs.QueueFile({path, 1});
    window.BtLoad->click();
    ExpectPrompt(dialogs.Prompts.at(0), ScriptedDialogs::Kind::OpenFile, PatternFilter, "");
    EXPECT_EQ(window.ListPat->count(), 64);
    EXPECT_EQ(window.ListPat->item(63)->text().toStdString(), "R63");
    EXPECT_EQ(window.Patterns().Patterns[7].Addresses[3], 1234);

    window.BtAddPat->click();
    EXPECT_EQ(window.Patterns().PatternCount, 64);
    EXPECT_EQ(window.ListPat->count(), 64);
    EXPECT_EQ(dialogs.Prompts.size(), 1u);
}

TEST_F(PatternWindow, LoadMessagesForAMissingFileAndAWrongMagic)
{
    window.BtAddPat->click();
    window.BtAddPat->click();
    dialogs.QueueFile({(dir.Path() / "missing.eap").string(), 1});
    window.BtLoad->click();
    ExpectPrompt(dialogs.Prompts.at(1), ScriptedDialogs::Kind::Message, "Could not find the selected file.",
                 "Loading process aborted");
    EXPECT_EQ(window.ListPat->count(), 2);

    dialogs.QueueFile({dir.WriteFile("palette.bxp", {'B', 'X', 'P', 0}), 1});
    window.BtLoad->click();
    ExpectPrompt(dialogs.Prompts.at(3), ScriptedDialogs::Kind::Message, "Wrong header bytes",
                 "Not an editor address pattern file", MsgIcon::Critical);
    EXPECT_EQ(window.Patterns().PatternCount, 0);
    EXPECT_EQ(window.ListPat->count(), 0);
}

// --- Apply and the BMP actions with every window ---

using PatternEditor = ViewerFixture;
using BmpActions = ViewerFixture;

TEST_F(PatternEditor, ReloadRedrawsTheEditor)
{
    SelectMode(ModeGba8bpp);
    OpenRom(Bytes(4096, 3));
    Pattern window(state, *w);
    RecordStep(state.Recorder, "pattern load", [&] {
        window.Patterns().PatternCount = 1;
        window.Patterns().Patterns[0].Addresses.fill(EmptySlot);
        window.Patterns().Patterns[0].Addresses[0] = 0;
    });
    window.RefreshPatternList();
    window.ListPat->setCurrentRow(0);
    dialogs.QueueYesNo(true);
    window.BtLoadPat->click();
    // Cell 0's top left pixel at the editor's zoom of 3.
    EXPECT_EQ(w->Editor->BackingImage().pixel(1, 1), Rgb(state.WorkingPalette[3]));
}

TEST_F(BmpActions, ExportWritesTheFileAndAsksBeforeReplacing)
{
    state.EditorSlots[0].Pixels[0] = 77;
    const std::string path = (dir.Path() / "out.bmp").string();
    dialogs.QueueFile({});
    ExportBmp(state, *w);
    EXPECT_FALSE(std::filesystem::exists(path));

    dialogs.QueueFile({path, 1});
    ExportBmp(state, *w);
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    ExpectPrompt(dialogs.Prompts[1], ScriptedDialogs::Kind::SaveFile, BmpFilter, "");
    const Bytes bytes = ReadWholeFile(path);
    ASSERT_EQ(bytes.size(), 17462u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), (Bytes{'B', 'M', 0x36, 0x44, 0, 0}));
    EXPECT_EQ(bytes[1078 + 127 * 128], 77);

    // Declining keeps the old file; Yes replaces it.
    state.EditorSlots[0].Pixels[0] = 78;
    dialogs.QueueFile({path, 1});
    dialogs.QueueYesNo(false);
    ExportBmp(state, *w);
    ExpectPrompt(dialogs.Prompts.at(3), ScriptedDialogs::Kind::YesNo, "Overwrite existing file?",
                 "File already exists");
    EXPECT_EQ(ReadWholeFile(path), bytes);
    dialogs.QueueFile({path, 1});
    dialogs.QueueYesNo(true);
    ExportBmp(state, *w);
    EXPECT_EQ(ReadWholeFile(path).at(1078 + 127 * 128), 78);
    EXPECT_EQ(dialogs.Prompts.size(), 6u);
}

TEST_F(BmpActions, AnExportThatFailsIsReported)
{
    const std::string path = (dir.Path() / "gone" / "out.bmp").string();
    dialogs.QueueFile({path, 1});
    ExportBmp(state, *w);
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].PromptKind, ScriptedDialogs::Kind::Message);
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Saving failed");
    EXPECT_EQ(dialogs.Prompts[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.Prompts[1].Text.rfind("Could not save the BMP file '" + path + "': ", 0), 0u);
}

TEST_F(BmpActions, ImportReplacesPixelsAndPaletteAndRedraws)
{
    EditorSlotTable picture{};
    picture[0].Pixels.fill(1);
    picture[255].Pixels[63] = 2;
    BmpPalette colors{};
    colors[0] = MakePackedColor(1, 2, 3);
    colors[1] = MakePackedColor(200, 10, 20);
    colors[2] = MakePackedColor(0, 255, 0);
    const std::string bmp = dir.WriteFile("in.bmp", BuildBmpFile(BuildBmpHeader(), picture, colors));
    state.EditorSlots[7].Address = 4096;
    state.EditorSlots[7].Pixels.fill(4);
    state.EditorCursorCol = 3;

    dialogs.QueueFile({bmp, 1});
    ImportBmp(state, *w);
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    ExpectPrompt(dialogs.Prompts[0], ScriptedDialogs::Kind::OpenFile, BmpFilter, "");
    EXPECT_EQ(state.WorkingPalette, colors);
    EXPECT_EQ(state.EditorSlots[0].Address, UnboundTile);
    EXPECT_EQ(state.EditorSlots[255].Address, UnboundTile);
    EXPECT_EQ(state.EditorSlots[7].Address, EmptySlot);
    EXPECT_EQ(state.EditorSlots[7].Pixels, TilePixels{});
    EXPECT_EQ(state.EditorSlots[255].Pixels[63], 2);
    EXPECT_EQ(state.EditorCursorCol, 3);

    EXPECT_EQ(w->Editor->BackingImage().pixel(1, 1), Rgb(colors[1]));
    EXPECT_EQ(w->PaletteCtrl->ImCol->Image().pixel(30, 0), Rgb(colors[1]));
}

TEST_F(BmpActions, RefusedFilesChangeNothing)
{
    const BmpPalette before = state.WorkingPalette;
    state.EditorSlots[2] = {96, {}, std::nullopt};
    state.EditorSlots[2].Pixels.fill(5);
    Bytes good = BuildBmpFile(BuildBmpHeader(), EditorSlotTable{}, BmpPalette{});
    Bytes topDown = good;
    topDown[22] = 0x80;
    topDown[23] = topDown[24] = topDown[25] = 0xFF;
    const std::string sixteen = dir.WriteFile("sixteen.bmp", Bytes(8310, 0));
    const std::string flipped = dir.WriteFile("flipped.bmp", topDown);

    dialogs.QueueFile({sixteen, 1});
    ImportBmp(state, *w);
    dialogs.QueueFile({flipped, 1});
    ImportBmp(state, *w);
    dialogs.QueueFile({(dir.Path() / "none.bmp").string(), 1});
    ImportBmp(state, *w);
    dialogs.QueueFile({});
    ImportBmp(state, *w);

    ASSERT_EQ(dialogs.Prompts.size(), 7u);
    const std::string text = "Only 128x128 pixel 256 colors BMP files can be imported.";
    ExpectPrompt(dialogs.Prompts[1], ScriptedDialogs::Kind::Message, text, "Invalid file size", MsgIcon::Critical);
    ExpectPrompt(dialogs.Prompts[3], ScriptedDialogs::Kind::Message, text, "Invalid header", MsgIcon::Critical);
    ExpectPrompt(dialogs.Prompts[5], ScriptedDialogs::Kind::Message, "Could not find the selected file.",
                 "Loading process aborted");
    EXPECT_EQ(state.WorkingPalette, before);
    EXPECT_EQ(state.EditorSlots[2].Address, 96);
    EXPECT_EQ(state.EditorSlots[2].Pixels[0], 5);
}
