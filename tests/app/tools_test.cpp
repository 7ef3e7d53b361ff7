#include "ui/floor/child_window.h"
#include "ui/app/main_form.h"
#include "ui/app/options.h"
#include "ui/app/tools.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/pattern.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/palette/color_set.h"
#include "ui/palette/palette_ctrl.h"
#include "support/action_checks.h"
#include "support/viewer_fixture.h"
#include "ui/tools/bookmark.h"
#include "ui/tools/c_out_put.h"
#include "ui/tools/file_info.h"

#include <QAction>
#include <QFrame>
#include <QLayout>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <map>

using ToolPanel = ViewerFixture;

namespace {

struct ShownControl {
    const char* ToolTip;
    bool Toggle;
    bool Pressed;  // at start
    const char* Action;
};

// The tool panel's controls by name: tool tip, kind and what a click runs.
const std::map<std::string, ShownControl> ShownControls = {
    {"ChkMenu", {"Show/Hide the Menu Bar", true, true, "ChkMenu"}},
    {"Bthelp", {"Help", false, false, "ShowHelp"}},
    {"BtOptions", {"Options", false, false, "ShowOptions"}},
    {"BtFileInfo", {"Open the 'File Info' tool", false, false, "BtFileInfo"}},
    {"BtColorSet", {"Open the 'Color Set' tool", false, false, "BtColorSet"}},
    {"BtBookmark", {"Open the 'Bookmark' tool", false, false, "BtBookmark"}},
    {"BtBMPImport", {"Import a BMP file into the editor", false, false, "BtBMPImport"}},
    {"BtSaveBMP", {"Export the editor to a BMP file", false, false, "BtSaveBMP"}},
    {"BtEditPatt", {"Open the 'Editor Address Patterns' tool", false, false, "BtEditPatt"}},
    {"ChkTile", {"Show/Hide the Tile Tool", true, false, "ChkTile"}},
    {"ChkEdit", {"Show/Hide the Editor and its controls", true, false, "ChkEdit"}},
    {"ChkBrow", {"Show/Hide the Browser and its controls", true, false, "ChkBrow"}},
    {"BtPngImport", {"Import a PNG file into the editor", false, false, "BtPngImport"}},
    {"BtPngExport", {"Export the editor to a PNG file", false, false, "BtPngExport"}},
    {"BtPngBrowser", {"Export the browser grid to a PNG file", false, false, "BtPngBrowser"}},
    {"BtFindGraphics", {"Open the 'Find graphics' tool", false, false, "ShowFindGraphics"}},
};

using ToolPanelTable = ActionFixture;

}  // namespace

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

TEST_F(ToolPanelTable, ControlsStandInTheirGroupsTopToBottom)
{
    // "|" is a line between two groups.
    std::vector<std::string> shown;
    QLayout* layout = w->Tools->layout();
    for (int i = 0; i < layout->count(); ++i) {
        QWidget* widget = layout->itemAt(i)->widget();
        if (auto* button = qobject_cast<QToolButton*>(widget))
            shown.push_back(button->objectName().toStdString());
        else if (auto* line = qobject_cast<QFrame*>(widget); line && line->frameShape() == QFrame::HLine)
            shown.push_back("|");
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"ChkMenu", "Bthelp", "BtOptions", "|", "BtFileInfo", "BtColorSet", "BtBookmark",
                                        "BtBMPImport", "BtSaveBMP", "BtEditPatt", "|", "ChkTile", "ChkEdit", "ChkBrow",
                                        "|", "BtPngImport", "BtPngExport", "BtPngBrowser", "BtFindGraphics"}));
}

TEST_F(ToolPanelTable, EveryControlCarriesItsToolTipAndRunsItsActionOnAClick)
{
    EXPECT_EQ(Tools::ControlTable().size(), ShownControls.size());
    // Kinds and start states first, before any click changes them.
    for (const ToolControl& control : Tools::ControlTable()) {
        SCOPED_TRACE(control.Name);
        const auto shown = ShownControls.find(control.Name);
        ASSERT_NE(shown, ShownControls.end()) << "a control the panel does not show";
        QToolButton* button = w->Tools->findChild<QToolButton*>(control.Name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button, w->Tools->*control.Control);
        EXPECT_EQ(button->toolTip().toStdString(), shown->second.ToolTip);
        EXPECT_EQ(button->isCheckable(), shown->second.Toggle);
        EXPECT_EQ(button->isChecked(), shown->second.Pressed);
        EXPECT_FALSE(button->icon().isNull());
    }
    for (const ToolControl& control : Tools::ControlTable()) {
        QToolButton* button = w->Tools->findChild<QToolButton*>(control.Name);
        ASSERT_NE(button, nullptr) << control.Name;
        RunChecked(ShownControls.at(control.Name).Action, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    }
}
