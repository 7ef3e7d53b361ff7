#include "ui/app/main_form.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/palette/palette_ctrl.h"
#include "support/viewer_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

using EditorWindow = ViewerFixture;
class EditorDrag : public ViewerFixture {
protected:
    Browser* browser() { return w->Browser; }
};

// A point of the editor window that lies over a browser point, and back.
QPoint EditorPointOf(MainForm& form, QPoint browserPoint)
{
    Windows& w = form.AllWindows();
    return w.Editor->mapFromGlobal(w.Browser->mapToGlobal(browserPoint));
}

QPoint BrowserPointOf(MainForm& form, QPoint editorPoint)
{
    Windows& w = form.AllWindows();
    return w.Browser->mapFromGlobal(w.Editor->mapToGlobal(editorPoint));
}

QRgb Rgb(PackedColor color)
{
    return qRgb(RedOf(color), GreenOf(color), BlueOf(color));
}

}  // namespace

TEST_F(EditorWindow, EmptyCellsGridCursorAndMargin)
{
    Editor* editor = w->Editor;
    editor->resize(500, 450);
    editor->RedrawEditor();
    const QImage& image = editor->BackingImage();
    // Empty squares in palette entry 0; grid lines black from 0 to 16 cells.
    EXPECT_EQ(image.pixel(30, 30), Rgb(state.WorkingPalette[0]));
    EXPECT_EQ(image.pixel(48, 30), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 48), qRgb(0, 0, 0));
    // The cursor box of cell (0, 0) in the selection color: edges at 0 and 24.
    EXPECT_EQ(image.pixel(10, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(24, 10), qRgb(255, 255, 255));
    // The gray margin right of the 384-pixel canvas (left of the scroll bar).
    EXPECT_EQ(image.pixel(400, 10), qRgb(172, 172, 172));
    EXPECT_EQ(image.pixel(10, 400), qRgb(172, 172, 172));

    // Shown noncopied tiles use the empty color; without the grid they touch.
    w->EditCtrl->ChkNoncopied->click();
    w->EditCtrl->ChkGridEditor->click();
    EXPECT_EQ(image.pixel(48, 30), qRgb(128, 128, 128));
}

TEST_F(EditorWindow, PaintFillAndPickWithTheMouse)
{
    Editor* editor = w->Editor;
    editor->resize(500, 450);
    w->EditCtrl->OptionPaint->click();
    state.CurrentColor = 5;
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(23, 0));
    EXPECT_EQ(state.EditorSlots[0].Address, UnboundTile);
    EXPECT_EQ(state.EditorSlots[0].Pixels[7], 5);
    // The status shows the pixel as it was when the press arrived.
    EXPECT_EQ(form->LbCoor->text().toStdString(), "Color no 0 (8,1 )");
    EXPECT_EQ(editor->BackingImage().pixel(22, 1), Rgb(state.WorkingPalette[5]));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(23, 0));

    // Right click picks without painting.
    state.CurrentColor = 9;
    QTest::mousePress(editor, Qt::RightButton, {}, QPoint(22, 1));
    EXPECT_EQ(state.CurrentColor, 5);
    QTest::mouseRelease(editor, Qt::RightButton, {}, QPoint(22, 1));

    w->EditCtrl->OptionFill->click();
    state.CurrentColor = 2;
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(30, 30));
    TilePixels twos;
    twos.fill(2);
    EXPECT_EQ(state.EditorSlots[16 + 1].Pixels, twos);
    EXPECT_EQ(state.EditorSlots[16 + 1].Address, UnboundTile);
    EXPECT_EQ(editor->BackingImage().pixel(30, 30), Rgb(state.WorkingPalette[2]));
}

TEST_F(EditorWindow, SelectDragSwapsCellsAndTheCursorStays)
{
    Editor* editor = w->Editor;
    editor->resize(500, 450);
    state.EditorSlots[0] = {16, {}, std::nullopt};
    state.EditorSlots[0].Pixels.fill(1);
    state.EditorSlots[2] = {UnboundTile, {}, std::nullopt};
    state.EditorSlots[2].Pixels.fill(3);
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(editor, QPoint(53, 5));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(53, 5));
    // The swap happens at the next move without a button.
    QTest::mouseMove(editor, QPoint(54, 5));
    EXPECT_EQ(state.EditorSlots[0].Address, UnboundTile);
    EXPECT_EQ(state.EditorSlots[0].Pixels[0], 3);
    EXPECT_EQ(state.EditorSlots[2].Address, 16);
    EXPECT_EQ(state.EditorCursorCol, 0);
    EXPECT_EQ(w->TileCtrl->ToolSlot(), 0);
}

TEST_F(EditorWindow, ClickKeysAndMovesNeverSwapCells)
{
    Editor* editor = w->Editor;
    editor->resize(500, 450);
    state.EditorSlots[0] = {16, {}, std::nullopt};
    state.EditorSlots[0].Pixels.fill(1);
    state.EditorSlots[2] = {32, {}, std::nullopt};
    state.EditorSlots[2].Pixels.fill(3);
    const EditorSlotTable before = state.EditorSlots;
    auto unchanged = [&] {
        for (int i : {0, 2}) {
            EXPECT_EQ(state.EditorSlots[i].Address, before[i].Address) << i;
            EXPECT_EQ(state.EditorSlots[i].Pixels, before[i].Pixels) << i;
        }
    };

    // A click on cell 0, then the pointer moves straight on to cell 2.
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(editor, QPoint(53, 5));
    unchanged();

    // A click on cell 0, the cursor moved to cell 2 by keys, then the mouse moves.
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(editor, Qt::Key_Right);
    QTest::keyClick(editor, Qt::Key_Right);
    QTest::mouseMove(editor, QPoint(6, 5));
    unchanged();
    EXPECT_EQ(state.EditorCursorCol, 2);

    // A drag released over another cell is ended by a key before the pointer moves.
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(editor, QPoint(53, 5));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(53, 5));
    QTest::keyClick(editor, Qt::Key_Down);
    QTest::mouseMove(editor, QPoint(54, 5));
    unchanged();
}

TEST_F(EditorWindow, KeysMoveTheCursorAndZoomWithinLimits)
{
    Editor* editor = w->Editor;
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Up);
    EXPECT_EQ(state.EditorCursorCol, 0);
    EXPECT_EQ(state.EditorCursorRow, 0);
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(editor, Qt::Key_Right);
        QTest::keyClick(editor, Qt::Key_Down);
    }
    EXPECT_EQ(state.EditorCursorCol, 15);
    EXPECT_EQ(state.EditorCursorRow, 15);

    for (int i = 0; i < 30; ++i)
        QTest::keyClick(editor, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(state.EditorZoom, 30);
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(editor, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(state.EditorZoom, 2);

    QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier);
    EXPECT_FALSE(w->EditCtrl->ChkGridEditor->isChecked());
    QTest::keyClick(editor, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(w->EditCtrl->ChkNoncopied->isChecked());
}

TEST_F(EditorWindow, ZoomButtonsCarrySwappedNamesAndFitSizesTheWindow)
{
    EXPECT_EQ(w->EditCtrl->BtEditZoomOut->toolTip().toStdString(), "Zoom in");
    w->EditCtrl->BtEditZoomOut->click();
    EXPECT_EQ(state.EditorZoom, 4);
    form->MenuItem("IEZoomIn")->trigger();  // runs BtEditZoomIn: smaller tiles
    EXPECT_EQ(state.EditorZoom, 3);

    Editor* editor = w->Editor;
    editor->resize(133, 133);
    for (int i = 0; i < 27; ++i)
        w->EditCtrl->BtEditZoomOut->click();
    EXPECT_EQ(state.EditorZoom, 30);
    EXPECT_TRUE(editor->HEditScr->isEnabled());
    EXPECT_TRUE(editor->VEditScr->isEnabled());
    EXPECT_EQ(editor->HEditScr->maximum(), 3840 - (133 - 17));
    editor->BtFit->click();
    EXPECT_EQ(editor->size(), QSize(3840 + 17, 3840 + 17));
    EXPECT_FALSE(editor->HEditScr->isEnabled());
}

TEST_F(EditorWindow, AllTilesButtonsAskAndReport)
{
    const std::string path = OpenRom(std::vector<std::uint8_t>(1024, 0));
    SelectMode(ModeGameboy);
    RecordStep(state.Recorder, "fill", [&] {
        state.EditorSlots[0] = {1024 - 16, {}, std::nullopt};
        state.EditorSlots[0].Pixels.fill(3);
        state.EditorSlots[1] = {UnboundTile, {}, std::nullopt};
    });
    dialogs.QueueYesNo(true);
    w->EditCtrl->BtSaveEdit->click();
    EXPECT_EQ(dialogs.Prompts.back().Caption, "Saving?");
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Saved 1 tiles to file");
    EXPECT_EQ(ReadWholeFile(path)[1023], 0xFF);

    dialogs.QueueYesNo(false);
    w->EditCtrl->BtSaveEdit->click();
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Saved 0 tiles to file");

    dialogs.QueueYesNo(true);
    w->EditCtrl->BtReload->click();
    EXPECT_EQ(dialogs.Prompts.back().Text, "Do you really want to reload all tiles?");
    EXPECT_EQ(dialogs.Prompts.back().Caption, "Reloading");

    dialogs.QueueYesNo(true);
    w->EditCtrl->BtEditClear->click();
    EXPECT_EQ(dialogs.Prompts.back().Text, "Really delete all tiles in the editor?");
    EXPECT_EQ(dialogs.Prompts.back().Caption, "Clear the editor?");
    EXPECT_EQ(state.EditorSlots[0].Address, EmptySlot);
    EXPECT_EQ(state.EditorSlots[1].Address, EmptySlot);
}

TEST_F(EditorDrag, DoubleClicksFillTheRowUpToColumnFifteen)
{
    OpenRom(CountingBytes(8192));
    Browser* browser = w->Browser;
    for (int column = 0; column < 8; ++column)
        QTest::mouseDClick(browser, Qt::LeftButton, {}, QPoint(column * 24 + 5, 5));
    for (int column = 0; column < 8; ++column)
        QTest::mouseDClick(browser, Qt::LeftButton, {}, QPoint(column * 24 + 5, 30));
    EXPECT_EQ(state.EditorCursorCol, 15);
    for (int slot = 0; slot < 16; ++slot)
        EXPECT_EQ(state.EditorSlots[slot].Address, slot * 8) << slot;

    // The next one replaces column 15; a tile already in the editor is refused.
    QTest::mouseDClick(browser, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dialogs.Prompts.back().Text, "There is already a tile with the same address in the editor.");
    EXPECT_EQ(dialogs.Prompts.back().Caption, "Editor error");
    EXPECT_EQ(state.EditorSlots[15].Address, EmptySlot);
    EXPECT_EQ(state.EditorCursorCol, 15);
}

TEST_F(EditorDrag, BrowserTileDroppedOnTheEditor)
{
    OpenRom(CountingBytes(8192));
    Browser* browser = w->Browser;
    Editor* editor = w->Editor;
    editor->resize(400, 400);
    // Press on browser tile (2, 1), release over editor cell (1, 3).
    QTest::mousePress(browser, Qt::LeftButton, {}, QPoint(2 * 24 + 3, 24 + 3));
    EXPECT_EQ(w->BrowCtrl->EdAdd->text().toStdString(), std::to_string((2 + 8) * 8));
    QTest::mouseRelease(browser, Qt::LeftButton, {}, BrowserPointOf(*form, QPoint(30, 80)));
    EXPECT_EQ(state.EditorSlots[3 * 16 + 1].Address, 80);
    EXPECT_EQ(state.EditorCursorCol, 0);  // a drop moves no cursor
}

TEST_F(EditorDrag, EditorTileDroppedOnTheBrowserIsWrittenThere)
{
    const std::string path = OpenRom(std::vector<std::uint8_t>(4096, 0));
    SelectMode(ModeGameboy);
    Editor* editor = w->Editor;
    editor->resize(400, 400);
    RecordStep(state.Recorder, "fill", [&] {
        state.EditorSlots[0] = {UnboundTile, {}, std::nullopt};
        state.EditorSlots[0].Pixels.fill(3);
    });
    editor->RenderSlot(0);
    // Drop on browser tile (1, 2): address 16 * (1 + 8 * 2) = 272.
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(5, 5));
    dialogs.QueueYesNo(true);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, EditorPointOf(*form, QPoint(24 + 5, 48 + 5)));
    std::vector<std::uint8_t> expected(4096, 0);
    std::fill(expected.begin() + 272, expected.begin() + 288, 0xFF);
    EXPECT_EQ(ReadWholeFile(path), expected);

    // Past the end of the file nothing is written and the line says so.
    w->BrowCtrl->EdAdd->setText(QStringLiteral("4000"));
    w->BrowCtrl->BtJumpAdd->click();
    ASSERT_EQ(state.BrowserAddress, 4096 - 2048);
    state.BrowserAddress = 4000;  // as a grid shrunk near the end leaves it
    browser()->DragToBrowser(7 * 24 + 5, 15 * 24 + 5);
    EXPECT_EQ(form->LbInfo->text().toStdString(),
              "The tile at address 6032 lies outside the file; nothing was written.");
    EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST_F(EditorDrag, PointerLineEnterKeyAndTileMenu)
{
    OpenRom(CountingBytes(8192));
    Browser* browser = w->Browser;
    // The pointer line shows the address under the pointer, clamped to the window.
    QTest::mouseMove(browser, QPoint(3 * 24 + 1, 2 * 24 + 1));
    EXPECT_EQ(form->LbCoor->text().toStdString(), "Address: " + std::to_string(8 * (3 + 8 * 2)));

    // Enter on the address scroll bar copies the selected tile like a double-click.
    QTest::mouseClick(browser, Qt::LeftButton, {}, QPoint(24 + 5, 5));
    QTest::keyClick(browser->ScrAdd, Qt::Key_Return);
    EXPECT_EQ(state.EditorSlots[0].Address, 8);
    EXPECT_EQ(state.EditorCursorCol, 1);

    // "Mirrow tile" flips top and bottom, "Flip tile" left and right.
    RecordStep(state.Recorder, "paint", [&] {
        state.EditorSlots[0].Pixels = {};
        state.EditorSlots[0].Pixels[0] = 7;
    });
    w->TileCtrl->LoadTile(0);
    form->MenuItem("ITMirrow")->trigger();
    EXPECT_EQ(state.EditorSlots[0].Pixels[56], 7);
    form->MenuItem("ITFlip")->trigger();
    EXPECT_EQ(state.EditorSlots[0].Pixels[63], 7);
}

TEST_F(EditorWindow, ZoomAfterScrollingDrawsFromTheCornerAgain)
{
    Editor* editor = w->Editor;
    editor->resize(133, 133);
    state.EditorSlots[0] = {UnboundTile, {}, std::nullopt};
    state.EditorSlots[0].Pixels.fill(4);
    editor->RenderSlot(0);
    editor->HEditScr->setValue(editor->HEditScr->maximum());
    ASSERT_NE(editor->BackingImage().pixel(2, 2), Rgb(state.WorkingPalette[4]));
    w->EditCtrl->BtEditZoomOut->click();
    EXPECT_EQ(editor->HEditScr->value(), 0);
    EXPECT_EQ(editor->BackingImage().pixel(2, 2), Rgb(state.WorkingPalette[4]));
}

TEST_F(EditorDrag, OpeningAFileLeavesTheTileToolWithoutACell)
{
    OpenRom(CountingBytes(4096));
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));
    w->TileCtrl->LoadTile(0);
    ASSERT_EQ(w->TileCtrl->ToolSlot(), 0);
    OpenRom(CountingBytes(4096), "other.gb");
    EXPECT_EQ(w->TileCtrl->ToolSlot(), -1);
    EXPECT_FALSE(w->TileCtrl->BtReloadTile->isEnabled());
}

namespace {

// Turns the wheel over the editor canvas, as the window system delivers it.
void TurnEditorWheel(Editor* editor, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(QPointF(40, 40), QPointF(editor->mapToGlobal(QPoint(40, 40))), QPoint(), angle, Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(editor, &event);
}

}  // namespace

TEST_F(EditorWindow, WheelScrollsTheCanvasAndCtrlWheelZooms)
{
    Editor* editor = w->Editor;
    editor->resize(200, 200);
    // Cells (0, 0), (0, 1) and (1, 0) in colors 4, 5, 6; at zoom 3 a cell is 24 pixels.
    for (auto [slot, color] : {std::pair{0, 4}, std::pair{16, 5}, std::pair{1, 6}}) {
        state.EditorSlots[slot] = {UnboundTile, {}, std::nullopt};
        state.EditorSlots[slot].Pixels.fill(static_cast<std::uint8_t>(color));
        editor->RenderSlot(slot);
    }
    auto shown = [&](int index) { return editor->BackingImage().pixel(2, 2) == Rgb(state.WorkingPalette[index]); };
    TurnEditorWheel(editor, {0, -120});  // a notch: 24 pixels, drawn scrolled
    EXPECT_EQ(editor->VEditScr->value(), 24);
    EXPECT_TRUE(shown(5));
    TurnEditorWheel(editor, {0, 240});
    EXPECT_EQ(editor->VEditScr->value(), 0);
    TurnEditorWheel(editor, {0, -120}, Qt::ShiftModifier);  // Shift or sideways: across
    EXPECT_TRUE(shown(6));
    TurnEditorWheel(editor, {-40, 0});
    EXPECT_EQ(editor->HEditScr->value(), 32);
    TurnEditorWheel(editor, {0, -120 * 50});
    EXPECT_EQ(editor->VEditScr->value(), editor->VEditScr->maximum());

    // Away from the user enlarges, as BtEditZoomOut does; the offsets go back to 0.
    TurnEditorWheel(editor, {0, 120}, Qt::ControlModifier);
    EXPECT_EQ(state.EditorZoom, 4);
    EXPECT_EQ(editor->VEditScr->value(), 0);
    TurnEditorWheel(editor, {0, -360}, Qt::ControlModifier);
    EXPECT_EQ(state.EditorZoom, 2);
}

TEST_F(EditorWindow, TheUnsavedMarkHidesNoPixelAtAnyZoom)
{
    OpenRom(std::vector<std::uint8_t>(1024, 0));
    Editor* editor = w->Editor;
    editor->resize(900, 900);
    TilePixels pixels{};
    for (int i = 0; i < TileSide * TileSide; ++i)
        pixels[i] = static_cast<std::uint8_t>(1 + i % 3);
    state.EditorSlots[1] = {16, pixels, ModeGameboy, true};
    editor->RenderSlot(1);
    for (const int zoom : {2, 3, 8}) {
        while (state.EditorZoom > zoom)
            QTest::keyClick(editor, Qt::Key_Minus, Qt::KeypadModifier);
        while (state.EditorZoom < zoom)
            QTest::keyClick(editor, Qt::Key_Plus, Qt::KeypadModifier);
        const QImage& image = editor->BackingImage();
        const int cell = TileSide * zoom;
        // Cell 1 spans [cell, 2 cell); its first row and column lie under the grid.
        for (int y = 1; y < cell; ++y)
            for (int x = cell + 1; x < 2 * cell; ++x)
                ASSERT_EQ(image.pixel(x, y),
                          Rgb(state.WorkingPalette[pixels[(y / zoom) * TileSide + (x - cell) / zoom]]))
                    << "zoom " << zoom << " at " << x << "," << y;
        EXPECT_EQ(image.pixel(2 * cell, 0), qRgb(255, 128, 0)) << "zoom " << zoom;
    }
}
