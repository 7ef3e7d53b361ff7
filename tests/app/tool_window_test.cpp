#include "ui/app/help.h"
#include "ui/app/main_form.h"
#include "ui/app/tools.h"
#include "model/core/program_state.h"
#include "model/core/rom_session.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/pattern.h"
#include "ui/palette/color_dialog.h"
#include "ui/palette/color_set.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "ui/tools/bookmark.h"
#include "ui/tools/c_out_put.h"
#include "ui/tools/file_info.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The application's active window is this one.
bool WaitActive(QWidget* window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 2000);
}

// Scripted dialogs that behave like modal dialogs on the screen: each one
// takes the activation while it is open and gives it up when it closes. It
// notes whether the watched tool window was still shown meanwhile.
class ActivatingDialogs : public ScriptedDialogs {
public:
    void Message(const std::string& text, const std::string& caption, MsgIcon icon) override
    {
        TakeActivation();
        ScriptedDialogs::Message(text, caption, icon);
    }
    FileChoice OpenFile(const std::string& filter) override
    {
        TakeActivation();
        return ScriptedDialogs::OpenFile(filter);
    }
    FileChoice SaveFile(const std::string& filter) override
    {
        TakeActivation();
        return ScriptedDialogs::SaveFile(filter);
    }

    QWidget* Watched = nullptr;
    std::vector<bool> WatchedShown;  // one entry per dialog
    bool DialogGotActivation = true;

private:
    void TakeActivation()
    {
        if (!Watched)
            return;
        QDialog dialog;
        dialog.setModal(true);
        dialog.show();
        dialog.activateWindow();
        DialogGotActivation = WaitActive(&dialog) && DialogGotActivation;
        WatchedShown.push_back(Watched->isVisible());
    }
};

// The real main window with every window, its dialogs taking the activation
// as real ones do, and a 256-byte ROM open (too short for the Gameboy checksum).
class ToolWindowActivation : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<MainForm>(state, &dialogs);
        form->show();
        w = &form->AllWindows();
        QCoreApplication::processEvents();  // the about window's show at start
        ASSERT_TRUE(OpenRomInState(state, dir.WriteFile("game.gb", CountingBytes(256))).Opened);
        form->activateWindow();
        if (!WaitActive(form.get()))
            GTEST_SKIP() << "this platform does not activate windows";
    }
    void TearDown() override { EXPECT_TRUE(dialogs.AllAnswersUsed()); }

    // Another window takes the activation.
    void GoElsewhere()
    {
        form->activateWindow();
        ASSERT_TRUE(WaitActive(form.get()));
    }

    TempDir dir;
    ProgramState state;
    ActivatingDialogs dialogs;
    std::unique_ptr<MainForm> form;
    Windows* w = nullptr;
};

}  // namespace

TEST_F(ToolWindowActivation, EachOpensActiveAndHidesWhenAnotherWindowIsActivated)
{
    const std::vector<std::pair<QWidget*, QAbstractButton*>> tools = {
        {w->Pattern, w->Tools->BtEditPatt},  {w->ColorSet, w->Tools->BtColorSet},  {w->FileInfo, w->Tools->BtFileInfo},
        {w->Bookmark, w->Tools->BtBookmark}, {w->COutPut, w->EditCtrl->BtCOutPut}, {w->Help, w->Tools->Bthelp},
    };
    for (const auto& [window, opener] : tools) {
        SCOPED_TRACE(window->metaObject()->className());
        opener->click();
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(WaitActive(window));
        GoElsewhere();
        EXPECT_FALSE(window->isVisible());
    }
}

TEST_F(ToolWindowActivation, OwnDialogsKeepTheWindowUpAndGiveTheFocusBack)
{
    // Two buttons of the window's own that each open a dialog: a file dialog
    // (cancelled) or, for the file info, the refusal of a too short file.
    struct Case {
        const char* Name;
        ToolWindow* Window;
        std::vector<QAbstractButton*> Buttons;
        bool FileDialogs;
    };
    const std::vector<Case> cases = {
        {"Pattern", w->Pattern, {w->Pattern->BtSave, w->Pattern->BtLoad}, true},
        {"ColorSet", w->ColorSet, {w->ColorSet->BtColorSetSave, w->ColorSet->BtColorSetLoad}, true},
        {"FileInfo", w->FileInfo, {w->FileInfo->BtDoChecksum, w->FileInfo->BtDoChecksum}, false},
        {"Bookmark", w->Bookmark, {w->Bookmark->BtSaveBookmark, w->Bookmark->BtLoadBookmark}, true},
        {"COutPut", w->COutPut, {w->COutPut->BtCCodePalette, w->COutPut->BtCCodeSprite}, true},
    };
    for (const Case& tool : cases) {
        SCOPED_TRACE(tool.Name);
        tool.Window->ShowTool();
        ASSERT_TRUE(WaitActive(tool.Window));
        dialogs.Watched = tool.Window;
        dialogs.WatchedShown.clear();
        const std::size_t promptsBefore = dialogs.Prompts.size();
        for (QAbstractButton* button : tool.Buttons) {
            if (tool.FileDialogs)
                dialogs.QueueFile({});
            button->click();
        }
        EXPECT_TRUE(dialogs.DialogGotActivation);
        EXPECT_EQ(dialogs.Prompts.size() - promptsBefore, 2u);
        EXPECT_EQ(dialogs.WatchedShown, (std::vector<bool>{true, true}));
        // The window has the focus again, so leaving it later hides it.
        EXPECT_TRUE(tool.Window->isVisible());
        EXPECT_TRUE(WaitActive(tool.Window));
        dialogs.Watched = nullptr;
        GoElsewhere();
        EXPECT_FALSE(tool.Window->isVisible());
    }
}

TEST_F(ToolWindowActivation, ColorSetHoldsOpenForOneDeactivationOnly)
{
    ColorSet* sets = w->ColorSet;
    sets->BtAddSet->click();
    sets->ShowTool();
    ASSERT_TRUE(WaitActive(sets));
    QTest::mouseClick(sets->ImCol, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_TRUE(WaitActive(w->ColorDialog));
    EXPECT_TRUE(sets->isVisible());
    EXPECT_FALSE(sets->HoldOpen);  // spent on the dialog taking the activation

    // Back to the color set window, then elsewhere: nothing holds it now.
    sets->activateWindow();
    ASSERT_TRUE(WaitActive(sets));
    EXPECT_FALSE(w->ColorDialog->isVisible());
    GoElsewhere();
    EXPECT_FALSE(sets->isVisible());
}

TEST_F(ToolWindowActivation, ColorSetRedrawsItsSetWhenActivated)
{
    ColorSet* sets = w->ColorSet;
    sets->BtAddSet->click();
    sets->ShowTool();
    ASSERT_TRUE(WaitActive(sets));
    GoElsewhere();

    // A change the preview has not drawn yet shows once the window is active.
    sets->Sets().ColorSets[0].Colors[17] = MakePackedColor(1, 2, 3);
    EXPECT_NE(sets->ImCol->Image().pixel(8 + 3, 8 + 3), qRgb(1, 2, 3));
    sets->ShowTool();
    ASSERT_TRUE(WaitActive(sets));
    EXPECT_EQ(sets->ImCol->Image().pixel(8 + 3, 8 + 3), qRgb(1, 2, 3));
}
