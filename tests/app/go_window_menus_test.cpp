#include "model/core/mode_table.h"
#include "model/tools/bookmark_file.h"
#include "support/viewer_fixture.h"
#include "support/temp_dir.h"
#include "ui/app/main_form.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/floor/child_window.h"
#include "ui/floor/program_settings.h"
#include "ui/palette/palette_ctrl.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>

namespace {

// A large file open in the browser (Game Boy, 16 bytes a tile), the main
// window active and the browser's scroll bar holding the focus.
class GoAndWindowMenus : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        OpenRom(CountingBytes(1 << 20));
        SelectMode(ModeGameboy);
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        w->Browser->TakeFocus();
    }

    void Key(QKeyCombination key)
    {
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    }
    int LineBytes() const { return state.BrowserColumns * 16; }
};

}  // namespace

TEST_F(GoAndWindowMenus, AltKeysStepByLinesAndScreensAndBackReturnsThroughJumpsAndModeSwitches)
{
    const struct {
        QKeyCombination Key;
        int Lines;
    } steps[] = {{Qt::ALT | Qt::Key_Down, 1}, {Qt::ALT | Qt::Key_PageDown, 16}, {Qt::ALT | Qt::Key_Up, -1},
                 {Qt::ALT | Qt::Key_PageUp, -16}};
    state.BrowserLines = 16;
    std::int32_t expected = state.BrowserAddress;
    for (const auto& step : steps) {
        Key(step.Key);
        expected += (step.Lines == 16 || step.Lines == -16 ? state.BrowserLines * step.Lines / 16 : step.Lines) *
                    LineBytes();
        EXPECT_EQ(state.BrowserAddress, expected) << step.Key.toCombined();
    }

    // Ctrl+L puts the focus into the jump field with its text selected.
    const std::int32_t start = state.BrowserAddress;
    Key(Qt::CTRL | Qt::Key_L);
    ASSERT_EQ(QApplication::focusWidget(), w->BrowCtrl->EdAdd);
    EXPECT_EQ(w->BrowCtrl->EdAdd->selectedText(), w->BrowCtrl->EdAdd->text());
    QTest::keyClicks(w->BrowCtrl->EdAdd, "4096");
    QTest::keyClick(w->BrowCtrl->EdAdd, Qt::Key_Return);
    ASSERT_EQ(state.BrowserAddress, 4096);
    w->BrowCtrl->ComboMode->setCurrentIndex(3);
    const GraphicsMode switched = static_cast<GraphicsMode>(state.CurrentMode);
    const std::int32_t afterSwitch = state.BrowserAddress;

    Key(Qt::ALT | Qt::Key_Left);
    EXPECT_EQ(state.CurrentMode, ModeGameboy);
    EXPECT_EQ(state.BrowserAddress, 4096);
    Key(Qt::ALT | Qt::Key_Left);
    EXPECT_EQ(state.BrowserAddress, start);
    Key(Qt::ALT | Qt::Key_Right);
    Key(Qt::ALT | Qt::Key_Right);
    EXPECT_EQ(state.CurrentMode, switched);
    EXPECT_EQ(state.BrowserAddress, afterSwitch);
    EXPECT_EQ(w->BrowCtrl->EdAdd->text().toInt(), afterSwitch);
}

TEST_F(GoAndWindowMenus, WindowItemsBringWindowsBackAndResetLayoutRestoresTheFirstArrangement)
{
    QWidget* palette = ChildFrame(w->PaletteCtrl);
    QWidget* tileTool = ChildFrame(w->TileCtrl);
    const QPoint paletteHome = palette->pos();
    QMdiArea* area = form->MdiArea();

    // A hidden window comes back in front through its item.
    SetChildVisible(w->TileCtrl, false);
    form->MenuItem("IWinTileCtrl")->trigger();
    EXPECT_TRUE(tileTool->isVisible());
    EXPECT_EQ(static_cast<QWidget*>(area->activeSubWindow()), tileTool);

    // Half outside on the right and below: pulled in whole.
    const QRect visible = area->viewport()->rect();
    palette->move(visible.right() - palette->width() / 2, visible.bottom() - 10);
    form->MenuItem("IWinIntoView")->trigger();
    EXPECT_TRUE(visible.contains(palette->geometry())) << palette->geometry().x() << "," << palette->geometry().y();

    // Reset: the first-start place, the tile tool below the browser's bottom.
    palette->move(3000, 3000);
    SetChildVisible(w->EditCtrl, false);
    form->MenuItem("IWinReset")->trigger();
    EXPECT_EQ(palette->pos(), paletteHome);
    EXPECT_TRUE(IsChildVisible(w->EditCtrl));
    EXPECT_GT(tileTool->geometry().top(), ChildFrame(w->Browser)->geometry().bottom());
}

TEST_F(GoAndWindowMenus, HexadecimalSwitchShowsTheListedAddressesInHexAndOffAgainInDecimal)
{
    QTest::keyClick(w->BrowCtrl->EdAdd, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w->BrowCtrl->EdAdd, "4096");
    QTest::keyClick(w->BrowCtrl->EdAdd, Qt::Key_Return);
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));  // tile at 4096 into cell 0
    state.EditorCursorCol = 0;
    w->TileCtrl->LoadTile(0);
    state.Bookmarks.Marks = {{4096, "title"}};
    QAction* hex = form->MenuItem("IGoHex");
    const struct {
        bool Hex;
        const char* Address;
    } forms[] = {{true, "0x1000"}, {false, "4096"}};
    for (const auto& form_ : forms) {
        hex->trigger();
        SCOPED_TRACE(form_.Address);
        EXPECT_EQ(state.HexAddresses, form_.Hex);
        EXPECT_EQ(StoredHexAddresses(QSettings(ProgramSettingsPath(), QSettings::IniFormat)), form_.Hex);
        EXPECT_EQ(w->BrowCtrl->EdAdd->text().toStdString(), form_.Address);
        EXPECT_EQ(w->TileCtrl->EdAdd->text().toStdString(), form_.Address);
        QTest::mouseMove(w->Browser, QPoint(5, 5));
        EXPECT_EQ(form->LbCoor->text().toStdString(), std::string("Address: ") + form_.Address);
        EXPECT_EQ(BookmarkRows(state.Bookmarks, state.HexAddresses).at(0), std::string(form_.Address) + " (title)");
        emit form->IGo->aboutToShow();
        EXPECT_EQ(hex->isChecked(), form_.Hex);
    }
}
