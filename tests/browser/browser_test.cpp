#include "ui/app/main_form.h"
#include "ui/floor/refresh.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/palette/palette_ctrl.h"
#include "support/viewer_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <regex>
#include <sys/stat.h>

namespace {

const char* const RomFilter =
    "All compatible Roms| *.gb; *.gbc; *.ngp; *.npc; *.smc; *.sfc; *.fig; *.nes;*.fds;*.vb;*.bin;*.gg;*.sms;*.ws;*.wsc;"
    "*.hdf;*pce;*.gba;*.agb|Gameboy Roms (*.gb,*.gbc)|*.gb;*.gbc|Gameboy Advanced Roms (*.gba,*.agb,*.bin)|*.gba;*.agb;"
    "*.bin|NES Roms (*.nes,*.fds)|*.nes;*.fds|Neo Geo Pocket Roms (*.ngp,*.npc),|*.ngp;*.npc|Virtual Boy Roms (*.vb)|"
    "*.vb|Super Nintendo Roms (*.smc,*.sfc,*.fig)|*.smc; *.sfc;*.fig|Sega Genesis Roms (*.bin)|*.bin|Game Gear Roms "
    "(*.gg)|*.gg|Master System Roms (*.sms)|*.sms|Wonder Swan Color Roms (*.ws,*.wsc)|*.ws;*.wsc|x68000 Harddisk "
    "Images (*.hdf)|*.hdf|Intelli Vision Roms(*.bin)|*.bin|PC Engine Roms (*.pce)|*.pce|All files (*.*)|*.*";

std::string Text(const QString& text)
{
    return text.toStdString();
}

using BrowserOpenClose = ViewerFixture;
using BrowserNavigation = ViewerFixture;
using BrowserKeys = ViewerFixture;
using BrowserPicture = ViewerFixture;

}  // namespace

TEST_F(BrowserOpenClose, StartsInOneBitModeWithTheModeListInItsOrder)
{
    EXPECT_EQ(state.CurrentMode, 4);
    QComboBox* list = w->BrowCtrl->ComboMode;
    ASSERT_EQ(list->count(), 12);
    const char* const names[] = {"1 bit per pixel", "Gameboy",        "NES",          "Virtual Boy",
                                 "GBA 4bpp",        "GBA 8bpp",       "SNES 4bpp",    "SNES 3bpp",
                                 "SNES 8bpp",       "Neo Geo Pocket", "Sega Genesis", "GG, MS, WSC"};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Text(list->itemText(i)), names[i]);
    EXPECT_EQ(Text(w->BrowCtrl->EdAdd->text()), "0");
    EXPECT_FALSE(w->Browser->IsWindowVisible());
    EXPECT_EQ(Text(w->BrowCtrl->windowTitle()), "Browser Control");
}

TEST_F(BrowserOpenClose, OpeningShowsTheFileFromItsFirstByte)
{
    const std::string path = OpenRom(CountingBytes(4096));
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(dialogs.Prompts[0].Text, RomFilter);
    EXPECT_EQ(Text(form->LbInfo->text()), "Opened " + path + " (4096 bytes)");
    EXPECT_EQ(state.BrowserAddress, 0);
    EXPECT_TRUE(w->Browser->IsWindowVisible());
    EXPECT_EQ(Text(w->Browser->windowTitle()), "Browser - '" + path + "' in 1 bit per pixel mode");
    // Tile 1 of the grid is bytes 8..15 of the file.
    EXPECT_EQ(w->Browser->DecodedPixels()[64 + 7], 8 & 1);
}

TEST_F(BrowserOpenClose, CaptionSaysReadOnlyBeforeAnyWrite)
{
    const std::pair<mode_t, const char*> files[] = {{0644, ""}, {0444, " (read-only)"}};
    for (const auto& [permissions, suffix] : files) {
        const std::string path = dir.WriteFile("rom" + std::to_string(permissions) + ".gb", CountingBytes(64));
        ASSERT_EQ(::chmod(path.c_str(), permissions), 0);
        if (state.FileOpen())
            dialogs.QueueYesNo(true);
        dialogs.QueueFile({path, 1});
        w->BrowCtrl->BtOpenFile_Click();
        EXPECT_EQ(Text(w->Browser->windowTitle()), "Browser - '" + path + "' in 1 bit per pixel mode" + suffix);
    }
}

TEST_F(BrowserOpenClose, OpenWithAFileOpenAsksFirst)
{
    const std::string first = OpenRom(CountingBytes(64));
    dialogs.Prompts.clear();
    dialogs.QueueYesNo(false);
    w->BrowCtrl->BtOpenFile_Click();
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].Text, "Before you can open a new file you have to close the opened file.\r\r"
                                       "Are you sure you want to close the opened file?");
    EXPECT_EQ(dialogs.Prompts[0].Caption, "Close file?");
    EXPECT_TRUE(state.FileOpen());
    EXPECT_EQ(state.FileName(), first);

    // Yes, then a cancelled dialog: no file stays open, the line keeps its text.
    dialogs.QueueYesNo(true);
    dialogs.QueueFile({});
    w->BrowCtrl->BtOpenFile_Click();
    EXPECT_FALSE(state.FileOpen());
    EXPECT_FALSE(w->Browser->IsWindowVisible());
    EXPECT_EQ(Text(form->LbInfo->text()), "Opened " + first + " (64 bytes)");
}

TEST_F(BrowserOpenClose, ClosingAsksThenHidesTheBrowser)
{
    w->BrowCtrl->BtCloseFile_Click();
    EXPECT_TRUE(dialogs.Prompts.empty());

    const std::string path = OpenRom(CountingBytes(64));
    dialogs.Prompts.clear();
    dialogs.QueueYesNo(false);
    w->BrowCtrl->BtCloseFile_Click();
    EXPECT_TRUE(state.FileOpen());
    dialogs.QueueYesNo(true);
    w->BrowCtrl->BtCloseFile_Click();
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].Text, "Are you sure you want to close the opened file?");
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Close file?");
    EXPECT_FALSE(state.FileOpen());
    EXPECT_EQ(Text(form->LbInfo->text()), "Closed file " + path);
    EXPECT_FALSE(w->Browser->IsWindowVisible());
}

TEST_F(BrowserOpenClose, FileToolsNeedAFile)
{
    for (QToolButton* button : {w->BrowCtrl->BtFileInfo, w->BrowCtrl->BtBookmark})
        button->click();
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    for (const auto& prompt : dialogs.Prompts) {
        EXPECT_EQ(prompt.Text, "This tool is not available when no file is opened.");
        EXPECT_EQ(prompt.Caption, "Tool not available");
        EXPECT_EQ(prompt.Icon, MsgIcon::None);
    }
}

TEST_F(BrowserOpenClose, AFolderIsRefusedWithItsReason)
{
    dialogs.QueueFile({dir.Path().string(), 1});
    const std::string before = Text(form->LbInfo->text());
    w->BrowCtrl->BtOpenFile_Click();
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].Text, "'" + dir.Path().string() + "' is a folder, not a file.");
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Could not open file");
    EXPECT_EQ(dialogs.Prompts[1].Icon, MsgIcon::Critical);
    EXPECT_FALSE(state.FileOpen());
    EXPECT_EQ(Text(form->LbInfo->text()), before);
}

TEST_F(BrowserNavigation, ScrollingToTheEndShowsTheLastWholeGridLines)
{
    OpenRom(CountingBytes(65536));
    w->Browser->ScrAdd->setValue(32767);
    // 1 bit per pixel: 8 x 8-byte tiles a line, 16 lines: span 64512.
    EXPECT_EQ(state.BrowserAddress, 64512);
    EXPECT_EQ(Text(w->BrowCtrl->EdAdd->text()), "64512");

    // A file shorter than the grid never scrolls below 0.
    OpenRom(CountingBytes(100), "short.gb");
    w->Browser->ScrAdd->setValue(20000);
    EXPECT_EQ(state.BrowserAddress, 0);
}

TEST_F(BrowserNavigation, ModeChangeResetsTheFineOffset)
{
    OpenRom(CountingBytes(4096));
    w->BrowCtrl->ScrollDiv->setValue(5);
    EXPECT_EQ(state.BrowserAddress, 5);
    SelectMode(ModeSnes8bpp);
    EXPECT_EQ(state.BrowserDiv, 0);
    EXPECT_EQ(Text(w->BrowCtrl->LbDiv->text()), "0");
    EXPECT_EQ(w->BrowCtrl->ScrollDiv->maximum(), 64);
    EXPECT_EQ(w->PaletteCtrl->ShiftCount(), 16);
    SelectMode(ModeSnes3bpp);
    EXPECT_EQ(w->PaletteCtrl->ShiftCount(), 8);
}

TEST_F(BrowserNavigation, OpeningAnotherFileResetsTheFineOffsetWithTheView)
{
    OpenRom(CountingBytes(4096));
    QTest::keyClick(w->Browser->ScrAdd, Qt::Key_Left);
    ASSERT_EQ(Text(w->BrowCtrl->LbDiv->text()), "8");
    OpenRom(CountingBytes(4096), "other.gb");
    EXPECT_EQ(state.BrowserAddress, 0);
    EXPECT_EQ(state.BrowserDiv, 0);
    EXPECT_EQ(w->BrowCtrl->ScrollDiv->value(), 0);
    EXPECT_EQ(Text(w->BrowCtrl->LbDiv->text()), "0");
}

TEST_F(BrowserNavigation, JumpReadsTheFieldLeniently)
{
    OpenRom(CountingBytes(4096));
    auto jumpTo = [this](const char* text) {
        w->BrowCtrl->EdAdd->setText(QString::fromLatin1(text));
        w->BrowCtrl->BtJumpAdd->click();
        return state.BrowserAddress;
    };
    EXPECT_EQ(jumpTo("&H100"), 256);
    EXPECT_EQ(Text(w->BrowCtrl->EdAdd->text()), "256");
    EXPECT_EQ(jumpTo("abc"), 0);
    // 1 bit per pixel grid of 128 tiles = 1024 bytes: the last full grid starts at 3072.
    EXPECT_EQ(jumpTo("1e9"), 3072);

    // The next scroll step goes back to the scroll-derived address.
    jumpTo("777");
    w->Browser->ScrAdd->setValue(1);
    EXPECT_EQ(state.BrowserAddress, 0);
}

TEST_F(BrowserNavigation, ZoomStopsAtTwoAndThirteen)
{
    OpenRom(CountingBytes(4096));
    for (int i = 0; i < 15; ++i)
        w->BrowCtrl->BtBrowZoomIn->click();
    EXPECT_EQ(state.BrowserZoom, 13);
    EXPECT_EQ(w->Browser->width(), 13 * 64 + 17);
    EXPECT_EQ(w->Browser->height(), 13 * 128);
    EXPECT_EQ(w->Browser->ScrollSteps, 32767 / (13 * 128));
    for (int i = 0; i < 15; ++i)
        w->BrowCtrl->BtBrowZoomOut->click();
    EXPECT_EQ(state.BrowserZoom, 2);
    EXPECT_EQ(w->Browser->height(), 2 * 128);
}

TEST_F(BrowserNavigation, GridSizeScrollBarsReload)
{
    OpenRom(CountingBytes(4096));
    w->BrowCtrl->ScrRows->setValue(16);
    w->BrowCtrl->ScrLines->setValue(6);
    EXPECT_EQ(state.BrowserColumns, 16);
    EXPECT_EQ(state.BrowserLines, 6);
    EXPECT_EQ(Text(w->BrowCtrl->LbRows->text()), "16");
    EXPECT_EQ(w->Browser->width(), 3 * 128 + 17);
    EXPECT_EQ(w->Browser->height(), 3 * 48);
}

TEST_F(BrowserNavigation, GridToggleByButtonMenuAndKey)
{
    OpenRom(CountingBytes(4096));
    w->BrowCtrl->ChkGrid->click();
    EXPECT_FALSE(state.BrowserGrid);
    form->MenuItem("IGrid")->trigger();
    EXPECT_TRUE(state.BrowserGrid);
    QTest::keyClick(w->Browser->ScrAdd, Qt::Key_G, Qt::ControlModifier);
    EXPECT_FALSE(state.BrowserGrid);
    EXPECT_FALSE(w->BrowCtrl->ChkGrid->isChecked());
}

TEST_F(BrowserNavigation, RedrawTimeIsReportedWhenSwitchedOn)
{
    OpenRom(CountingBytes(4096));
    state.MeasureRedrawTime = true;
    w->Browser->ScrAdd->setValue(100);
    EXPECT_TRUE(
        std::regex_match(Text(form->LbInfo->text()),
                         std::regex(R"(The last redraw took about (0|0\.\d{1,3}|[1-9]\d*(\.\d{1,3})?) seconds\.)")))
        << Text(form->LbInfo->text());
}

TEST_F(BrowserKeys, ArrowAndPageKeysMoveTheAddressScrollBar)
{
    OpenRom(CountingBytes(65536));
    QScrollBar* bar = w->Browser->ScrAdd;
    const int steps = w->Browser->ScrollSteps;
    ASSERT_EQ(steps, 32767 / 384);
    QTest::keyClick(bar, Qt::Key_Down);
    EXPECT_EQ(bar->value(), steps + 1);
    QTest::keyClick(bar, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), steps + 1 + 4 * steps + 1);
    QTest::keyClick(bar, Qt::Key_Up);
    EXPECT_EQ(bar->value(), 4 * steps + 1);
    QTest::keyClick(bar, Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), 0);
    QTest::keyClick(bar, Qt::Key_End);
    EXPECT_EQ(bar->value(), 32767);
    QTest::keyClick(bar, Qt::Key_Down);
    EXPECT_EQ(bar->value(), 32767);
    QTest::keyClick(bar, Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(state.BrowserAddress, 0);
    // With a modifier only the scroll bar's own single step happens.
    QTest::keyClick(bar, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(bar->value(), 1);
}

TEST_F(BrowserKeys, LeftAndRightWrapTheFineOffset)
{
    OpenRom(CountingBytes(4096));
    QScrollBar* bar = w->Browser->ScrAdd;
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_EQ(state.BrowserDiv, 8);
    EXPECT_EQ(state.BrowserAddress, 8);
    EXPECT_EQ(Text(w->BrowCtrl->LbDiv->text()), "8");
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(state.BrowserDiv, 0);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(BrowserKeys, ZoomFocusAndFileKeys)
{
    QScrollBar* bar = w->Browser->ScrAdd;
    QTest::keyClick(bar, Qt::Key_Space);
    EXPECT_EQ(form->focusWidget(), w->BrowCtrl->ComboMode);

    QTest::keyClick(bar, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(state.BrowserZoom, 4);
    QTest::keyClick(bar, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(state.BrowserZoom, 3);

    const std::string path = dir.WriteFile("keys.gb", CountingBytes(256));
    dialogs.QueueFile({path, 1});
    QTest::keyClick(bar, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(state.FileOpen());
    dialogs.QueueYesNo(true);
    QTest::keyClick(bar, Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(state.FileOpen());
}

TEST_F(BrowserPicture, KnownTileAtZoomThreeWithGridAndFrame)
{
    // A Gameboy tile whose row 0 is 0, 2, 3, 3, 3, 3, 2, 0 and other rows 0.
    std::vector<std::uint8_t> rom(4096, 0);
    rom[0] = 0x3C;
    rom[1] = 0x7E;
    OpenRom(rom);
    SelectMode(ModeGameboy);
    const QImage& image = w->Browser->BackingImage();
    auto color = [this](int index) {
        const PackedColor c = state.WorkingPalette[index];
        return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
    };
    // Pixel (2, 0) of the tile is index 3: screen pixels 6..8 of rows 0..2.
    EXPECT_EQ(image.pixel(7, 1), color(3));
    EXPECT_EQ(image.pixel(4, 1), color(2));
    EXPECT_EQ(image.pixel(7, 4), color(0));
    // Grid lines at x = 0 and 24; the white frame's right edge lies on 24, its bottom on 24.
    EXPECT_EQ(image.pixel(10, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(24, 10), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(10, 24), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(48, 30), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 48), qRgb(0, 0, 0));

    // Grid off: the frame stays, the lines go.
    w->BrowCtrl->ChkGrid->click();
    EXPECT_EQ(image.pixel(48, 30), color(0));
    EXPECT_EQ(image.pixel(24, 10), qRgb(255, 255, 255));
}

TEST_F(BrowserPicture, PaletteChangeRedrawsWithoutReadingTheFile)
{
    std::vector<std::uint8_t> rom(4096, 0xFF);
    const std::string path = OpenRom(rom);
    EXPECT_EQ(w->Browser->DecodedPixels()[0], 1);
    // Empty the file behind the program's back: a read now would give zeros.
    std::filesystem::resize_file(path, 0);
    state.WorkingPalette[1] = MakePackedColor(10, 20, 30);
    PaletteChanged(*w);
    EXPECT_EQ(w->Browser->BackingImage().pixel(4, 4), qRgb(10, 20, 30));
    EXPECT_EQ(w->Browser->DecodedPixels()[0], 1);
}

TEST_F(BrowserNavigation, JumpIsNotTimed)
{
    const std::string path = OpenRom(CountingBytes(4096));
    state.MeasureRedrawTime = true;
    w->BrowCtrl->EdAdd->setText(QStringLiteral("512"));
    w->BrowCtrl->BtJumpAdd->click();
    EXPECT_EQ(state.BrowserAddress, 512);
    EXPECT_EQ(Text(form->LbInfo->text()), "Opened " + path + " (4096 bytes)");
}
