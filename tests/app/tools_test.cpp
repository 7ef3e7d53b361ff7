#include "app/child_window.h"
#include "app/main_form.h"
#include "app/options.h"
#include "app/tools.h"
#include "browser/brow_ctrl.h"
#include "browser/browser.h"
#include "editor/edit_ctrl.h"
#include "editor/editor.h"
#include "editor/pattern.h"
#include "editor/tile_ctrl.h"
#include "palette/color_set.h"
#include "palette/palette_ctrl.h"
#include "support/viewer_fixture.h"
#include "tools/bookmark.h"
#include "tools/c_out_put.h"
#include "tools/file_info.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

using ToolPanel = ViewerFixture;

TEST_F(ToolPanel, ButtonsCarryTheirToolTips)
{
    Tools* tools = w->Tools;
    EXPECT_EQ(tools->windowTitle().toStdString(), "Controls");
    EXPECT_EQ(tools->ChkMenu->toolTip().toStdString(), "Show/Hide the Menu Bar");
    EXPECT_EQ(tools->BtEditPatt->toolTip().toStdString(), "Open the 'Editor Address Patterns' tool");
    EXPECT_EQ(tools->ChkBrow->toolTip().toStdString(), "Show/Hide the Browser and its controls");
    EXPECT_TRUE(tools->ChkMenu->isChecked());
}

TEST_F(ToolPanel, MenuSwitchHidesAndShowsTheFourMenus)
{
    w->Tools->ChkMenu->click();
    for (QMenu* menu : {form->IBrowser, form->IEditor, form->ITile, form->IIhelp})
        EXPECT_FALSE(menu->menuAction()->isVisible());
    w->Tools->ChkMenu->click();
    for (QMenu* menu : {form->IBrowser, form->IEditor, form->ITile, form->IIhelp})
        EXPECT_TRUE(menu->menuAction()->isVisible());
}

TEST_F(ToolPanel, SwitchesShowTheirWindowsAndThePaletteWhileEitherIsPressed)
{
    // From the start without a layout (switches released) to all pressed.
    for (QToolButton* toggle : {w->Tools->ChkBrow, w->Tools->ChkEdit, w->Tools->ChkTile})
        toggle->click();
    for (QWidget* window :
         std::initializer_list<QWidget*>{w->BrowCtrl, w->PaletteCtrl, w->Editor, w->EditCtrl, w->TileCtrl})
        EXPECT_TRUE(IsChildVisible(window));
    EXPECT_FALSE(IsChildVisible(w->Browser));

    w->Tools->ChkBrow->click();
    EXPECT_FALSE(IsChildVisible(w->BrowCtrl));
    EXPECT_TRUE(IsChildVisible(w->PaletteCtrl));
    w->Tools->ChkEdit->click();
    EXPECT_FALSE(IsChildVisible(w->Editor));
    EXPECT_FALSE(IsChildVisible(w->EditCtrl));
    EXPECT_FALSE(IsChildVisible(w->PaletteCtrl));
    w->Tools->ChkTile->click();
    EXPECT_FALSE(IsChildVisible(w->TileCtrl));

    // The browser switch alone, without a file: its panel and the palette.
    w->Tools->ChkBrow->click();
    EXPECT_TRUE(IsChildVisible(w->BrowCtrl));
    EXPECT_TRUE(IsChildVisible(w->PaletteCtrl));
    EXPECT_FALSE(IsChildVisible(w->Browser));
    EXPECT_FALSE(IsChildVisible(w->Editor));
}

TEST_F(ToolPanel, BrowserSwitchFollowsTheOpenFile)
{
    OpenRom(CountingBytes(1024));
    EXPECT_TRUE(IsChildVisible(w->Browser));
    w->Tools->ChkBrow->click();
    EXPECT_TRUE(IsChildVisible(w->Browser));
    w->Tools->ChkBrow->click();
    EXPECT_FALSE(IsChildVisible(w->Browser));
    w->Tools->ChkBrow->click();
    EXPECT_TRUE(IsChildVisible(w->Browser));
}

TEST_F(ToolPanel, FileToolsWithoutAFileSayWhy)
{
    w->Tools->BtFileInfo->click();
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].Text, "This tool is not available when no file is opened.");
    EXPECT_EQ(dialogs.Prompts[0].Caption, "Tool not available");
}

TEST_F(ToolPanel, ButtonsOpenTheirToolWindows)
{
    OpenRom(CountingBytes(4096));
    w->Tools->BtFileInfo->click();
    EXPECT_TRUE(w->FileInfo->isVisible());
    w->Tools->BtBookmark->click();
    EXPECT_TRUE(w->Bookmark->isVisible());
    w->Tools->BtEditPatt->click();
    EXPECT_TRUE(w->Pattern->isVisible());
    w->Tools->BtColorSet->click();
    EXPECT_TRUE(w->ColorSet->isVisible());
    w->EditCtrl->BtCOutPut->click();
    EXPECT_TRUE(w->COutPut->isVisible());
    w->Tools->BtOptions->click();
    EXPECT_TRUE(w->Options->isVisible());
    EXPECT_FALSE(form->isEnabled());
}
