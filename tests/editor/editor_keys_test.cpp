#include "ui/app/main_form.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/tile_ctrl.h"
#include "support/action_checks.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <map>

namespace {

// The editor's keys and what each runs.
const std::map<int, const char*> EditorKeys = {
    {QKeyCombination(Qt::Key_Right).toCombined(), "CursorRight"},
    {QKeyCombination(Qt::Key_Left).toCombined(), "CursorLeft"},
    {QKeyCombination(Qt::Key_Up).toCombined(), "CursorUp"},
    {QKeyCombination(Qt::Key_Down).toCombined(), "CursorDown"},
    {QKeyCombination(Qt::Key_Delete).toCombined(), "BtFlipX"},
    {QKeyCombination(Qt::Key_End).toCombined(), "BtFlipY"},
    {QKeyCombination(Qt::Key_PageDown).toCombined(), "BtRotate"},
    {QKeyCombination(Qt::Key_Return).toCombined(), "SaveTile"},
    {QKeyCombination(Qt::Key_Enter).toCombined(), "SaveTile"},
    {QKeyCombination(Qt::Key_A).toCombined(), "BtCopyToAddress"},
    {QKeyCombination(Qt::Key_R).toCombined(), "BtReloadTile"},
    {QKeyCombination(Qt::Key_S).toCombined(), "BtCopySelTile"},
    {QKeyCombination(Qt::Key_C).toCombined(), "BtDeleteSprite"},
    {QKeyCombination(Qt::Key_Space).toCombined(), "EditCtrlFocus"},
    {(Qt::KeypadModifier | Qt::Key_Minus).toCombined(), "BtEditZoomIn"},
    {(Qt::KeypadModifier | Qt::Key_Plus).toCombined(), "BtEditZoomOut"},
    {(Qt::CTRL | Qt::Key_G).toCombined(), "ChkGridEditor"},
    {(Qt::CTRL | Qt::Key_N).toCombined(), "ChkNoncopied"},
    {(Qt::CTRL | Qt::Key_B).toCombined(), "BrowserFocus"},
};

class EditorKeyTable : public ActionFixture {
protected:
    void PressInEditor(QKeyCombination key)
    {
        w->Editor->setFocus(Qt::MouseFocusReason);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_EQ(focused, w->Editor);
        QTest::keyClick(focused, key.key(), key.keyboardModifiers());
    }
};

}  // namespace

TEST_F(EditorKeyTable, EveryKeyReachesItsActionInTheFocusedEditor)
{
    ActivateMainWindow();
    WalkKeyTable(
        Editor::KeyTable(), EditorKeys, [] {}, [this](QKeyCombination key) { PressInEditor(key); });
}

TEST_F(EditorKeyTable, UnshiftedKeysTellTheTileToolAndCtrlKeysDoNot)
{
    ActivateMainWindow();
    OpenZeroRom();
    state.EditorSlots[SlotAt(2, 0)].Address = 24;
    state.EditorCursorCol = 2;
    // A key without a modifier, listed or not, loads the cursor cell into
    // the tile tool.
    PressInEditor(Qt::Key_Z);
    EXPECT_EQ(w->TileCtrl->EdAdd->text().toStdString(), "24");
    state.EditorCursorCol = 3;
    PressInEditor(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(w->TileCtrl->EdAdd->text().toStdString(), "24");
    // Plain + and - are not the keypad's: the zoom stays.
    PressInEditor(Qt::Key_Plus);
    EXPECT_EQ(state.EditorZoom, 3);
    PressInEditor(Qt::Key_Minus);
    EXPECT_EQ(state.EditorZoom, 3);
    // Shift with an arrow is no editor key.
    PressInEditor(Qt::SHIFT | Qt::Key_Right);
    EXPECT_EQ(state.EditorCursorCol, 3);
}
