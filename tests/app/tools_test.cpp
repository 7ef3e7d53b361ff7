#include "app/child_window.h"
#include "app/main_form.h"
#include "app/tools.h"
#include "browser/brow_ctrl.h"
#include "browser/browser.h"
#include "palette/palette_ctrl.h"
#include "support/viewer_fixture.h"

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

TEST_F(ToolPanel, BrowserSwitchWithoutAFileShowsOnlyThePanels)
{
    // The first arrangement: browser switch pressed, no file.
    EXPECT_TRUE(w->Tools->ChkBrow->isChecked());
    EXPECT_TRUE(IsChildVisible(w->BrowCtrl));
    EXPECT_TRUE(IsChildVisible(w->PaletteCtrl));
    EXPECT_FALSE(IsChildVisible(w->Browser));

    w->Tools->ChkBrow->click();
    EXPECT_FALSE(IsChildVisible(w->BrowCtrl));
    EXPECT_FALSE(IsChildVisible(w->PaletteCtrl));

    // The editor switch alone keeps the palette.
    w->Tools->ChkEdit->click();
    EXPECT_TRUE(IsChildVisible(w->PaletteCtrl));
    EXPECT_FALSE(IsChildVisible(w->BrowCtrl));
    w->Tools->ChkEdit->click();
    EXPECT_FALSE(IsChildVisible(w->PaletteCtrl));
}

TEST_F(ToolPanel, BrowserSwitchFollowsTheOpenFile)
{
    OpenRom(CountingBytes(1024));
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
