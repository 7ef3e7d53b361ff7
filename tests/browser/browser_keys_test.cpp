#include "ui/floor/child_window.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "support/action_checks.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include <map>

namespace {

// The browser's keys and what each runs; a key the browser leaves alone
// goes to the scroll bar's own steps.
const std::map<int, const char*> BrowserKeys = {
    {QKeyCombination(Qt::Key_Up).toCombined(), "ScrollUp"},
    {QKeyCombination(Qt::Key_Down).toCombined(), "ScrollDown"},
    {QKeyCombination(Qt::Key_PageUp).toCombined(), "ScrollPageUp"},
    {QKeyCombination(Qt::Key_PageDown).toCombined(), "ScrollPageDown"},
    {QKeyCombination(Qt::Key_Home).toCombined(), "ScrollHome"},
    {QKeyCombination(Qt::Key_End).toCombined(), "ScrollEnd"},
    {QKeyCombination(Qt::Key_Left).toCombined(), "FineOffsetDown"},
    {QKeyCombination(Qt::Key_Right).toCombined(), "FineOffsetUp"},
    {QKeyCombination(Qt::Key_Return).toCombined(), "CopyToEditor"},
    {QKeyCombination(Qt::Key_Enter).toCombined(), "CopyToEditor"},
    {QKeyCombination(Qt::Key_Space).toCombined(), "BrowCtrlFocus"},
    {(Qt::KeypadModifier | Qt::Key_Plus).toCombined(), "BtBrowZoomIn"},
    {(Qt::KeypadModifier | Qt::Key_Minus).toCombined(), "BtBrowZoomOut"},
    {(Qt::CTRL | Qt::Key_O).toCombined(), "BtOpenFile"},
    {(Qt::CTRL | Qt::Key_C).toCombined(), "BtCloseFile"},
    {(Qt::CTRL | Qt::Key_G).toCombined(), "ChkGrid"},
    {(Qt::CTRL | Qt::Key_E).toCombined(), "EditorFocus"},
};

class BrowserKeyTable : public ActionFixture {
protected:
    // The key as a user gives it: to the widget that has the focus once the
    // browser has been clicked.
    void PressInBrowser(QKeyCombination key)
    {
        w->Browser->TakeFocus();
        QWidget* focused = QApplication::focusWidget();
        ASSERT_EQ(focused, w->Browser->ScrAdd);
        QTest::keyClick(focused, key.key(), key.keyboardModifiers());
    }
};

}  // namespace

TEST_F(BrowserKeyTable, EveryKeyReachesItsActionFromTheFocusedScrollBar)
{
    ActivateMainWindow();
    WalkKeyTable(
        Browser::KeyTable(), BrowserKeys,
        [this] {
            // The browser takes keys while it shows a file.
            if (!state.FileOpen())
                OpenZeroRom();
        },
        [this](QKeyCombination key) { PressInBrowser(key); });
}

TEST_F(BrowserKeyTable, KeypadFlagCountsOnlyForPlusAndMinus)
{
    ActivateMainWindow();
    OpenZeroRom();
    // + and - of the main keyboard do not zoom.
    PressInBrowser(Qt::Key_Plus);
    EXPECT_EQ(state.BrowserZoom, 3);
    PressInBrowser(Qt::Key_Minus);
    EXPECT_EQ(state.BrowserZoom, 3);
    // The keypad's Enter and arrows work like the main ones.
    state.BrowserSelX = 1;
    PressInBrowser(Qt::KeypadModifier | Qt::Key_Enter);
    EXPECT_EQ(state.EditorSlots[0].Address, 8);
    PressInBrowser(Qt::KeypadModifier | Qt::Key_Right);
    EXPECT_EQ(state.BrowserDiv, 1);
    EXPECT_EQ(w->Browser->ScrAdd->value(), 0);
    // Ctrl with another modifier is none of the browser's keys: Ctrl+Shift+G
    // leaves the grid alone.
    PressInBrowser(Qt::CTRL | Qt::SHIFT | Qt::Key_G);
    EXPECT_TRUE(state.BrowserGrid);
}
