#include "support/action_checks.h"

#include "model/codec/shown_stream.h"
#include "model/codec/stream_codecs.h"
#include "ui/app/help.h"
#include "ui/app/manual_window.h"
#include "ui/app/options.h"
#include "ui/app/tools.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/pattern.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/floor/child_window.h"
#include "ui/palette/color_set.h"
#include "ui/tools/bookmark.h"
#include "ui/tools/file_info.h"
#include "ui/tools/find_graphics.h"
#include "ui/tools/find_streams.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include <memory>

namespace {

// A tile with the one pixel at index (y * 8 + x) set to color 1.
TilePixels OnePixel(int index)
{
    TilePixels pixels{};
    pixels[index] = 1;
    return pixels;
}

constexpr int ToolCellAddress = 64;
// Pixel (1, 0), so that mirroring, flipping and rotating move it to
// three different places.
constexpr int ToolCellPixel = 1;
// 1 bit per pixel: pixel x of a row is bit 7 - x of its byte.
constexpr std::uint8_t ToolCellByte = 0x40;

const char* const BmpFilter = "Bitmap file 128x128x256 colors (*.BMP)|*.bmp";

}  // namespace

void ActionFixture::SetUp()
{
    ViewerFixture::SetUp();
    AddFileChecks();
    AddBrowserChecks();
    AddEditorChecks();
    AddTileToolChecks();
    AddToolPanelChecks();
}

void ActionFixture::RunChecked(const std::string& action, const std::function<void()>& trigger)
{
    SCOPED_TRACE(action);
    const auto found = checks_.find(action);
    ASSERT_NE(found, checks_.end()) << "no check for " << action;
    found->second.Prepare();
    trigger();
    found->second.Verify();
}

void ActionFixture::ActivateMainWindow()
{
    // The about window shows first, from a zero-time timer. While a tool
    // window of the main window is active, Qt counts the main window's
    // handle as active too, so the wait is for the main window itself.
    QCoreApplication::processEvents();
    w->Help->hide();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == form.get(); }));
}

std::string ActionFixture::OpenZeroRom()
{
    romPath_ = OpenRom(std::vector<std::uint8_t>(4096, 0), "zero" + std::to_string(++romCount_) + ".gb");
    EXPECT_TRUE(state.FileOpen());
    return romPath_;
}

void ActionFixture::AddFileChecks()
{
    auto opened = std::make_shared<std::string>();
    checks_["BtOpenFile"] = {[this, opened] {
                                 *opened = dir.WriteFile("opened.gb", CountingBytes(2048));
                                 if (state.FileOpen())
                                     dialogs.QueueYesNo(true);
                                 dialogs.QueueFile({*opened, 1});
                             },
                             [this, opened] {
                                 EXPECT_TRUE(state.FileOpen());
                                 EXPECT_EQ(state.FileName(), *opened);
                             }};
    checks_["BtCloseFile"] = {[this] {
                                  if (!state.FileOpen())
                                      OpenZeroRom();
                                  dialogs.QueueYesNo(true);
                              },
                              [this] { EXPECT_FALSE(state.FileOpen()); }};
    checks_["Exit"] = {[this] { ASSERT_TRUE(form->isVisible()); },
                       [this] {
                           EXPECT_FALSE(form->isVisible());
                           form->show();
                       }};
}

void ActionFixture::AddBrowserChecks()
{
    auto zoomCheck = [this](int from, int to) {
        return ActionCheck{[this, from] { state.BrowserZoom = from; },
                           [this, to] { EXPECT_EQ(state.BrowserZoom, to); }};
    };
    checks_["BtBrowZoomIn"] = zoomCheck(5, 6);
    checks_["BtBrowZoomOut"] = zoomCheck(5, 4);
    auto gridWas = std::make_shared<bool>();
    checks_["ChkGrid"] = {[this, gridWas] { *gridWas = w->BrowCtrl->ChkGrid->isChecked(); },
                          [this, gridWas] {
                              EXPECT_EQ(w->BrowCtrl->ChkGrid->isChecked(), !*gridWas);
                              EXPECT_EQ(state.BrowserGrid, !*gridWas);
                          }};

    // The address scroll bar's keys, from position 1000.
    auto scrollCheck = [this](std::function<int(int steps)> expected) {
        return ActionCheck{
            [this] {
                if (!state.FileOpen())
                    OpenRom(CountingBytes(65536), "long.gb");
                w->Browser->ScrAdd->setValue(1000);
            },
            [this, expected] { EXPECT_EQ(w->Browser->ScrAdd->value(), expected(w->Browser->ScrollSteps)); }};
    };
    checks_["ScrollUp"] = scrollCheck([](int steps) { return 1000 - (steps + 1); });
    checks_["ScrollDown"] = scrollCheck([](int steps) { return 1000 + steps + 1; });
    checks_["ScrollPageUp"] = scrollCheck([](int steps) { return 1000 - (4 * steps + 1); });
    checks_["ScrollPageDown"] = scrollCheck([](int steps) { return 1000 + 4 * steps + 1; });
    checks_["ScrollHome"] = scrollCheck([](int) { return 0; });
    checks_["ScrollEnd"] = scrollCheck([](int) { return 32767; });

    // Left and Right step the fine offset (wrapping at the tile size); the
    // scroll bar stays where it was.
    auto fineOffsetCheck = [this](int expected) {
        return ActionCheck{[this] {
                               OpenZeroRom();
                               w->BrowCtrl->ScrollDiv->setValue(0);
                               w->Browser->ScrAdd->setValue(10);
                           },
                           [this, expected] {
                               EXPECT_EQ(state.BrowserDiv, expected);
                               EXPECT_EQ(w->Browser->ScrAdd->value(), 10);
                           }};
    };
    checks_["FineOffsetDown"] = fineOffsetCheck(8);
    checks_["FineOffsetUp"] = fineOffsetCheck(1);

    checks_["CopyToEditor"] = {[this] {
                                   OpenZeroRom();
                                   state.BrowserSelX = 2;
                                   state.BrowserSelY = 1;
                                   state.EditorCursorCol = 3;
                                   state.EditorCursorRow = 2;
                               },
                               [this] {
                                   EXPECT_EQ(state.EditorSlots[SlotAt(3, 2)].Address, 8 * (2 + 8 * 1));
                                   EXPECT_EQ(state.EditorCursorCol, 4);
                               }};
    checks_["BrowCtrlFocus"] = {[this] { w->Browser->TakeFocus(); },
                                [this] { EXPECT_EQ(QApplication::focusWidget(), w->BrowCtrl->ComboMode); }};
    checks_["EditorFocus"] = {[this] { w->Browser->TakeFocus(); },
                              [this] { EXPECT_EQ(QApplication::focusWidget(), w->Editor); }};
}

void ActionFixture::AddEditorChecks()
{
    auto cursorCheck = [this](int column, int row) {
        return ActionCheck{[this] {
                               state.EditorCursorCol = 5;
                               state.EditorCursorRow = 5;
                           },
                           [this, column, row] {
                               EXPECT_EQ(state.EditorCursorCol, column);
                               EXPECT_EQ(state.EditorCursorRow, row);
                           }};
    };
    checks_["CursorRight"] = cursorCheck(6, 5);
    checks_["CursorLeft"] = cursorCheck(4, 5);
    checks_["CursorUp"] = cursorCheck(5, 4);
    checks_["CursorDown"] = cursorCheck(5, 6);

    // The button named ZoomIn makes the tiles smaller.
    auto zoomCheck = [this](int to) {
        return ActionCheck{[this] { state.EditorZoom = 5; }, [this, to] { EXPECT_EQ(state.EditorZoom, to); }};
    };
    checks_["BtEditZoomIn"] = zoomCheck(4);
    checks_["BtEditZoomOut"] = zoomCheck(6);
    checks_["BtFit"] = {[this] { state.EditorZoom = 2; },
                        [this] { EXPECT_EQ(w->Editor->size(), QSize(128 * 2 + 17, 128 * 2 + 17)); }};

    auto switchCheck = [this](std::function<QCheckBox*()> box) {
        auto was = std::make_shared<bool>();
        return ActionCheck{[box, was] { *was = box()->isChecked(); },
                           [box, was] { EXPECT_EQ(box()->isChecked(), !*was); }};
    };
    checks_["ChkGridEditor"] = switchCheck([this] { return w->EditCtrl->ChkGridEditor; });
    checks_["ChkNoncopied"] = switchCheck([this] { return w->EditCtrl->ChkNoncopied; });

    auto modeCheck = [this](EditorTool tool, std::function<QRadioButton*()> option) {
        return ActionCheck{[this, tool] {
                               w->EditCtrl->SetEditMode(tool == EditorTool::Fill ? EditorTool::Select
                                                                                 : EditorTool::Fill);
                           },
                           [this, tool, option] {
                               EXPECT_EQ(state.EditMode, tool);
                               EXPECT_TRUE(option()->isChecked());
                           }};
    };
    checks_["OptionSelect"] = modeCheck(EditorTool::Select, [this] { return w->EditCtrl->OptionSelect; });
    checks_["OptionPaint"] = modeCheck(EditorTool::Paint, [this] { return w->EditCtrl->OptionPaint; });
    checks_["OptionFill"] = modeCheck(EditorTool::Fill, [this] { return w->EditCtrl->OptionFill; });

    checks_["BtSaveEdit"] = {[this] {
                                 OpenZeroRom();
                                 state.ShowSaveWarning = false;
                                 CopyIntoCellZero(8);
                             },
                             [this] {
                                 EXPECT_EQ(ReadWholeFile(romPath_)[8], ToolCellByte);
                                 EXPECT_EQ(form->LbInfo->text().toStdString(), "Saved 1 tiles to file");
                             }};
    checks_["BtReload"] = {[this] {
                               OpenZeroRom();
                               CopyIntoCellZero(8);
                               dialogs.QueueYesNo(true);
                           },
                           [this] {
                               EXPECT_EQ(state.EditorSlots[0].Pixels, TilePixels{});
                               EXPECT_EQ(dialogs.Prompts.back().Text, "Do you really want to reload all tiles?");
                           }};
    checks_["BtEditClear"] = {[this] {
                                  CopyIntoCellZero(8);
                                  dialogs.QueueYesNo(true);
                              },
                              [this] {
                                  EXPECT_EQ(state.EditorSlots[0].Address, EmptySlot);
                                  EXPECT_EQ(dialogs.Prompts.back().Text, "Really delete all tiles in the editor?");
                              }};
    checks_["EditCtrlFocus"] = {[this] { w->Editor->setFocus(); },
                                [this] { EXPECT_EQ(QApplication::focusWidget(), w->EditCtrl->OptionSelect); }};
    checks_["BrowserFocus"] = {[this] {
                                   if (!state.FileOpen())
                                       OpenZeroRom();
                                   w->Editor->setFocus();
                               },
                               [this] { EXPECT_EQ(QApplication::focusWidget(), w->Browser->ScrAdd); }};
}

void ActionFixture::CopyIntoCellZero(std::int32_t address)
{
    RecordStep(state.Recorder, "copy of a tile", [&] {
        state.EditorSlots[0] = {address, OnePixel(ToolCellPixel), std::nullopt};
    });
}

void ActionFixture::AddTileToolChecks()
{
    // Every tile tool action works on the editor's cursor cell, here cell 0
    // bound to a tile of a zero file.
    auto prepareCell = [this] {
        OpenZeroRom();
        state.ShowSaveWarning = false;
        state.EditorCursorCol = 0;
        state.EditorCursorRow = 0;
        CopyIntoCellZero(ToolCellAddress);
        w->TileCtrl->LoadTile(0);
    };
    auto pixelMovesTo = [this, prepareCell](int index) {
        return ActionCheck{prepareCell, [this, index] { EXPECT_EQ(state.EditorSlots[0].Pixels, OnePixel(index)); }};
    };
    checks_["BtFlipX"] = pixelMovesTo(6);    // (1, 0) to (6, 0)
    checks_["BtFlipY"] = pixelMovesTo(57);   // (1, 0) to (1, 7)
    checks_["BtRotate"] = pixelMovesTo(48);  // counter-clockwise: (1, 0) to (0, 6)
    checks_["BtDeleteSprite"] = {prepareCell, [this] { EXPECT_EQ(state.EditorSlots[0].Address, EmptySlot); }};
    checks_["BtReloadTile"] = {prepareCell, [this] {
                                   EXPECT_EQ(state.EditorSlots[0].Pixels, TilePixels{});
                                   EXPECT_EQ(state.EditorSlots[0].Address, ToolCellAddress);
                               }};

    // The writes put the cell's byte at one address and nowhere else.
    auto writesAt = [this](std::function<void()> prepare, int address) {
        return ActionCheck{prepare, [this, address] {
                               std::vector<std::uint8_t> expected(4096, 0);
                               expected[address] = ToolCellByte;
                               EXPECT_EQ(ReadWholeFile(romPath_), expected);
                           }};
    };
    checks_["SaveTile"] = writesAt(prepareCell, ToolCellAddress);
    checks_["BtCopySelTile"] = writesAt(
        [this, prepareCell] {
            prepareCell();
            state.BrowserSelX = 2;
            state.BrowserSelY = 0;
        },
        16);
    checks_["BtCopyToAddress"] = writesAt(
        [this, prepareCell] {
            prepareCell();
            w->TileCtrl->EdAdd->setText(QStringLiteral("32"));
        },
        32);
}

void ActionFixture::AddToolPanelChecks()
{
    auto showsWindow = [this](
                           std::function<QWidget*()> window, std::function<void()> prepare = [] {}) {
        return ActionCheck{[window, prepare] {
                               prepare();
                               window()->hide();
                           },
                           [window] {
                               EXPECT_TRUE(window()->isVisible());
                               window()->hide();
                           }};
    };
    auto needsFile = [this] {
        if (!state.FileOpen())
            OpenZeroRom();
    };
    checks_["ShowHelp"] = showsWindow([this] { return w->Help; });
    checks_["ShowManual"] = {[this] {
                                 if (auto* manual = form->findChild<ManualWindow*>())
                                     manual->hide();
                             },
                             [this] {
                                 auto* manual = form->findChild<ManualWindow*>();
                                 ASSERT_NE(manual, nullptr);
                                 EXPECT_TRUE(manual->isVisible());
                                 EXPECT_TRUE(manual->Text->toPlainText().startsWith("Brixel user's manual"));
                                 manual->hide();
                             }};
    checks_["BtColorSet"] = showsWindow([this] { return w->ColorSet; });
    checks_["BtEditPatt"] = showsWindow([this] { return w->Pattern; });
    checks_["BtFileInfo"] = showsWindow([this] { return w->FileInfo; }, needsFile);
    checks_["BtBookmark"] = showsWindow([this] { return w->Bookmark; }, needsFile);
    checks_["ShowFindGraphics"] = showsWindow([this] { return w->FindGraphics; });
    checks_["ShowFindStreams"] = showsWindow([this] { return w->FindStreams; });
    checks_["BackToFile"] = {[this] {
                                 std::vector<std::uint8_t> rom(4096, 0);
                                 const PackResult stream =
                                     StreamCodecNamed("rle")->Pack(std::vector<std::uint8_t>(512, 0x11), {});
                                 std::copy(stream.Bytes.begin(), stream.Bytes.end(), rom.begin() + 0x40);
                                 OpenRom(rom, "stream.gba");
                                 ASSERT_EQ(ShowStream(state, StreamCodecIndex("rle"), 0x40), std::nullopt);
                                 ASSERT_EQ(state.TilesLength(), 512);
                             },
                             [this] {
                                 EXPECT_EQ(ShownStreamView(state), nullptr);
                                 EXPECT_EQ(state.TilesLength(), 4096);
                             }};
    checks_["ShowOptions"] = {[] {},
                              [this] {
                                  EXPECT_TRUE(w->Options->isVisible());
                                  EXPECT_FALSE(form->isEnabled());
                                  w->Options->BtOk->click();
                                  EXPECT_TRUE(form->isEnabled());
                              }};

    auto asksForBmp = [this](ScriptedDialogs::Kind kind) {
        return ActionCheck{[this] {
                               dialogs.QueueFile({"", 0});
                           },
                           [this, kind] {
                               ASSERT_FALSE(dialogs.Prompts.empty());
                               EXPECT_EQ(dialogs.Prompts.back().PromptKind, kind);
                               EXPECT_EQ(dialogs.Prompts.back().Text, BmpFilter);
                           }};
    };
    checks_["BtBMPImport"] = asksForBmp(ScriptedDialogs::Kind::OpenFile);
    checks_["BtSaveBMP"] = asksForBmp(ScriptedDialogs::Kind::SaveFile);

    auto asksForPng = [this](
                          ScriptedDialogs::Kind kind, std::function<void()> prepare = [] {}) {
        return ActionCheck{[this, prepare] {
                               prepare();
                               dialogs.QueueFile({"", 0});
                           },
                           [this, kind] {
                               ASSERT_FALSE(dialogs.Prompts.empty());
                               EXPECT_EQ(dialogs.Prompts.back().PromptKind, kind);
                               EXPECT_EQ(dialogs.Prompts.back().Text, "PNG image (*.png)|*.png");
                           }};
    };
    checks_["BtPngImport"] = asksForPng(ScriptedDialogs::Kind::OpenFile);
    checks_["BtPngExport"] = asksForPng(ScriptedDialogs::Kind::SaveFile);
    checks_["BtPngBrowser"] = asksForPng(ScriptedDialogs::Kind::SaveFile, needsFile);

    auto menusWere = std::make_shared<bool>();
    checks_["ChkMenu"] = {[this, menusWere] { *menusWere = form->IBrowser->menuAction()->isVisible(); },
                          [this, menusWere] {
                              EXPECT_EQ(w->Tools->ChkMenu->isChecked(), !*menusWere);
                              for (QMenu* menu : {form->IBrowser, form->IEditor, form->ITile, form->IIhelp})
                                  EXPECT_EQ(menu->menuAction()->isVisible(), !*menusWere);
                          }};

    AddToggleCheck(
        "ChkTile", [this] { return w->Tools->ChkTile; }, [this] { return w->TileCtrl; });
    AddToggleCheck(
        "ChkEdit", [this] { return w->Tools->ChkEdit; }, [this] { return w->Editor; });
    AddToggleCheck(
        "ChkBrow", [this] { return w->Tools->ChkBrow; }, [this] { return w->BrowCtrl; });
}

void ActionFixture::AddToggleCheck(const std::string& action, std::function<QToolButton*()> toggle,
                                   std::function<QWidget*()> window)
{
    // The window is put into the opposite state of what the switch will
    // say, so only the switch's own arrangement can make them agree.
    auto was = std::make_shared<bool>();
    checks_[action] = {[toggle, window, was] {
                           *was = toggle()->isChecked();
                           SetChildVisible(window(), *was);
                       },
                       [toggle, window, was] {
                           EXPECT_EQ(toggle()->isChecked(), !*was);
                           EXPECT_EQ(IsChildVisible(window()), !*was);
                       }};
}
