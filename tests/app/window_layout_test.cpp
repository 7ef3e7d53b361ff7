#include "ui/floor/child_window.h"
#include "ui/app/help.h"
#include "ui/app/layout_config.h"
#include "ui/app/main_form.h"
#include "ui/app/options.h"
#include "ui/floor/tool_window.h"
#include "ui/app/tools.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "model/core/mode_table.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/pattern.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/palette/color_dialog.h"
#include "ui/palette/color_set.h"
#include "ui/palette/palette_ctrl.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/viewer_fixture.h"
#include "ui/tools/bookmark.h"
#include "ui/tools/c_out_put.h"
#include "ui/tools/file_info.h"

#include <QAction>
#include <QCheckBox>
#include <QMdiArea>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

using FirstStart = ViewerFixture;
using ChildArea = ViewerFixture;
using FloatingWindows = ViewerFixture;

std::vector<QWidget*> WorkingWindows(Windows& w)
{
    return {w.Tools, w.BrowCtrl, w.PaletteCtrl, w.Editor, w.EditCtrl, w.TileCtrl};
}

// The main window's working area below its menus, on the screen.
QRect WorkingArea(MainForm& form)
{
    QWidget* area = form.MdiArea();
    return {area->mapToGlobal(QPoint(0, 0)), area->size()};
}

}  // namespace

TEST_F(FirstStart, WindowSwitchesStayReleasedWhileTheWindowsShow)
{
    for (QToolButton* toggle : {w->Tools->ChkBrow, w->Tools->ChkEdit, w->Tools->ChkTile})
        EXPECT_FALSE(toggle->isChecked());
    for (QWidget* window : WorkingWindows(*w))
        EXPECT_TRUE(IsChildVisible(window)) << window->windowTitle().toStdString();
    EXPECT_FALSE(IsChildVisible(w->Browser));

    // Actions that run the arrangement leave the windows alone until a
    // switch is used.
    w->EditCtrl->BtEditZoomOut_Click();
    w->EditCtrl->ChkGridEditor->click();
    for (QWidget* window : WorkingWindows(*w))
        EXPECT_TRUE(IsChildVisible(window)) << window->windowTitle().toStdString();

    // Opening a file shows the browser with its switch still released.
    OpenRom(CountingBytes(4096));
    EXPECT_TRUE(IsChildVisible(w->Browser));
    EXPECT_FALSE(w->Tools->ChkBrow->isChecked());

    // The first switch pressed arranges the windows as the switches say.
    w->Tools->ChkBrow->click();
    EXPECT_TRUE(IsChildVisible(w->Browser));
    EXPECT_TRUE(IsChildVisible(w->PaletteCtrl));
    EXPECT_FALSE(IsChildVisible(w->Editor));
    EXPECT_FALSE(IsChildVisible(w->TileCtrl));
}

TEST_F(FirstStart, NoWorkingWindowCoversAnother)
{
    OpenRom(CountingBytes(4096));
    std::vector<QWidget*> windows = WorkingWindows(*w);
    windows.push_back(w->Browser);
    for (std::size_t i = 0; i < windows.size(); ++i)
        for (std::size_t j = i + 1; j < windows.size(); ++j)
            EXPECT_FALSE(ChildFrame(windows[i])->geometry().intersects(ChildFrame(windows[j])->geometry()))
                << windows[i]->windowTitle().toStdString() << " / " << windows[j]->windowTitle().toStdString();
}

TEST_F(FirstStart, EditorOpensAt4000TwipsFrameIncluded)
{
    // 4000 / 15 = 266.7 pixels.
    EXPECT_EQ(ChildFrame(w->Editor)->size(), QSize(267, 267));
    // Its client area shows more than the minimum of 133 pixels.
    EXPECT_GT(w->Editor->width(), 200);
    EXPECT_GT(w->Editor->height(), 200);
}

TEST_F(FirstStart, ShiftCountReadsOneWhileTheFirstModeIsInEffect)
{
    EXPECT_EQ(w->PaletteCtrl->BtPalShiftNum->text().toStdString(), "1");
    EXPECT_EQ(w->PaletteCtrl->ShiftCount(), 1);
    EXPECT_EQ(state.CurrentMode, ModeListOrder[0]);
    // A mode chosen later still sets it.
    SelectMode(ModeListOrder[1]);
    EXPECT_EQ(w->PaletteCtrl->BtPalShiftNum->text().toStdString(), "4");
}

TEST_F(ChildArea, ScrollBarsReachTheFarEdgesOfALargeBrowser)
{
    OpenRom(CountingBytes(65536));
    form->resize(699, 534);
    w->BrowCtrl->ScrRows->setValue(16);
    for (int zoom = state.BrowserZoom; zoom < 13; ++zoom)
        w->BrowCtrl->BtBrowZoomIn_Click();
    ASSERT_EQ(state.BrowserZoom, 13);
    QCoreApplication::processEvents();

    QMdiArea* area = form->MdiArea();
    QWidget* frame = ChildFrame(w->Browser);
    const QPoint unscrolled = frame->pos();
    ASSERT_GT(frame->geometry().right(), area->viewport()->width());
    EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());

    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    EXPECT_LE(frame->geometry().right(), area->viewport()->width() - 1);
    EXPECT_LE(frame->geometry().bottom(), area->viewport()->height() - 1);
    EXPECT_GE(frame->geometry().right(), area->viewport()->width() - 8);

    // A layout saved while scrolled keeps the unscrolled places.
    EXPECT_EQ(GatherLayout(state, *w).BrowserPos, (PixelPoint{unscrolled.x(), unscrolled.y()}));
}

TEST_F(FloatingWindows, OpenOverTheMainWindowBelowItsMenus)
{
    OpenRom(CountingBytes(4096));
    const QRect work = WorkingArea(*form);
    w->Tools->BtColorSet->click();
    w->Tools->BtBookmark->click();
    w->Tools->BtFileInfo->click();
    w->Tools->BtEditPatt->click();
    w->EditCtrl->BtCOutPut->click();
    w->Tools->Bthelp->click();
    w->Tools->BtOptions->click();
    for (QWidget* window : std::initializer_list<QWidget*>{w->ColorSet, w->Bookmark, w->FileInfo, w->Pattern,
                                                           w->COutPut, w->Help, w->Options}) {
        const QRect frame = window->frameGeometry();
        SCOPED_TRACE(window->windowTitle().toStdString());
        EXPECT_GE(frame.top(), work.top());
        EXPECT_TRUE(work.contains(frame.center()));
        // Centred across the working area, to the pixel the frame allows.
        EXPECT_LE(std::abs(frame.center().x() - work.center().x()), 3);
    }
    w->Options->BtOk->click();
}

TEST_F(FloatingWindows, PlacedWindowsKeepTheirPlace)
{
    // Placed before it was ever shown, as a restored layout does.
    w->ColorSet->move(form->pos() + QPoint(60, 70));
    w->ColorSet->ShowTool();
    EXPECT_EQ(w->ColorSet->pos(), form->pos() + QPoint(60, 70));

    // A layout gathered before a window was ever shown keeps it where it
    // would open, not at the screen's corner.
    const LayoutConfig layout = GatherLayout(state, *w);
    const QPoint bookmarkOffset = DefaultToolPosition(*w->Bookmark) - form->pos();
    EXPECT_EQ(layout.BookmarkOffset, (PixelPoint{bookmarkOffset.x(), bookmarkOffset.y()}));
}

TEST_F(FloatingWindows, HiddenWindowsKeepTheirOffsetFromTheMovedMainWindow)
{
    form->move(30, 20);
    w->Pattern->move(form->pos() + QPoint(200, 90));
    w->Pattern->ShowTool();
    w->Pattern->hide();
    form->move(90, 60);
    w->Pattern->ShowTool();
    EXPECT_EQ(w->Pattern->pos(), form->pos() + QPoint(200, 90));
    EXPECT_EQ(GatherLayout(state, *w).PatternOffset, (PixelPoint{200, 90}));

    // A window placed anew while hidden goes to its new place.
    w->Pattern->hide();
    form->move(40, 30);
    w->Pattern->move(300, 200);
    w->Pattern->ShowTool();
    EXPECT_EQ(w->Pattern->pos(), QPoint(300, 200));
}

TEST_F(FloatingWindows, PaletteColorEditorStandsByTheSumOfBothPositions)
{
    form->move(40, 30);
    ChildFrame(w->PaletteCtrl)->move(300, 20);
    ASSERT_EQ(form->pos(), QPoint(40, 30));
    QTest::mousePress(static_cast<QWidget*>(w->PaletteCtrl->ImCol), Qt::RightButton, {}, QPoint(3, 3));
    // Released again: QTest keeps pressed buttons for the tests that follow.
    QTest::mouseRelease(static_cast<QWidget*>(w->PaletteCtrl->ImCol), Qt::RightButton, {}, QPoint(3, 3));
    ASSERT_TRUE(w->ColorDialog->isVisible());
    // 1900 twips are 127 pixels, 100 twips 7 pixels.
    EXPECT_EQ(w->ColorDialog->pos(), QPoint(40 + 300 + 127, 30 + 20 + 7));
}

TEST_F(FloatingWindows, AboutWindowFollowsTheMainWindowWhileShown)
{
    w->Tools->Bthelp->click();
    ASSERT_TRUE(w->Help->isVisible());
    // A window manager places the main window after the about window shows.
    form->move(form->pos() + QPoint(50, 40));
    const QRect work = WorkingArea(*form);
    EXPECT_LE(std::abs(w->Help->frameGeometry().center().x() - work.center().x()), 3);
    EXPECT_LE(std::abs(w->Help->frameGeometry().center().y() - work.center().y()), 3);
}

// Ten starts, each applying the layout the one before saved, as the start
// does: before the show, when the platform has not framed the main window
// yet (it adds its frame at the show, as a window manager does after
// mapping). Each start then puts the main window somewhere else, as a
// window manager places it, before "Save layout now" through the options
// window, which the user moved on the first run.
TEST(LayoutCycles, SaveAndRestartKeepTheGeometryToThePixel)
{
    TempDir dir;
    const ConfigFolders folders{dir.Path().string(), (dir.Path() / "user").string()};
    std::vector<std::uint8_t> firstBytes;
    QSize firstOuter;
    QPoint firstOffset;
    for (int cycle = 0; cycle < 10; ++cycle) {
        SCOPED_TRACE("start " + std::to_string(cycle + 1));
        ProgramState state;
        ScriptedDialogs dialogs;
        MainForm form(state, &dialogs);
        Windows& w = form.AllWindows();
        w.Options->Folders = folders;
        EXPECT_EQ(LoadConfig(state, w, folders), cycle > 0);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        ASSERT_NE(form.frameGeometry(), form.geometry()) << "the platform gives windows no frame";
        form.move(40 + 9 * cycle, 20 + 5 * cycle);
        QTest::qWait(10);

        form.MenuItem("IOption")->trigger();
        ASSERT_TRUE(w.Options->isVisible());
        if (cycle == 0)
            w.Options->move(form.pos() + QPoint(150, 40));
        QTest::mouseClick(w.Options->BtSaveNow, Qt::LeftButton);
        const std::vector<std::uint8_t> bytes = ReadWholeFile(ConfigWritePath(folders));
        const QSize outer = form.frameGeometry().size();
        const QPoint offset = w.Options->pos() - form.pos();
        QTest::mouseClick(w.Options->BtOk, Qt::LeftButton);
        ASSERT_EQ(bytes.size(), 64u);
        // The file stores the outer size, frame included.
        EXPECT_EQ(bytes[4] | bytes[5] << 8, outer.width() * 15);
        EXPECT_EQ(bytes[6] | bytes[7] << 8, outer.height() * 15);
        if (cycle == 0) {
            firstBytes = bytes;
            firstOuter = outer;
            firstOffset = offset;
            continue;
        }
        EXPECT_EQ(outer, firstOuter);
        EXPECT_EQ(offset, firstOffset);
        EXPECT_EQ(bytes, firstBytes);
    }
    EXPECT_EQ(firstOffset, QPoint(150, 40));
}
