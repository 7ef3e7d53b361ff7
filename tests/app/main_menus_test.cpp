#include "support/action_checks.h"
#include "ui/app/main_form.h"
#include "ui/app/main_menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <map>
#include <set>

namespace {

struct ShownItem {
    const char* Text;  // null for a separator
    QKeySequence Key;
    const char* Action = "";
    Qt::ShortcutContext Context = Qt::WidgetShortcut;
};

// Every line of the four menus as the user sees it, by object name, and the
// action it runs.
const std::map<std::string, ShownItem> ShownItems = {
    {"IOpen", {"Open file", QKeySequence(Qt::CTRL | Qt::Key_O), "BtOpenFile"}},
    {"IClose", {"Close file", QKeySequence(Qt::CTRL | Qt::Key_C), "BtCloseFile"}},
    {"IExit", {"Exit", {}, "Exit"}},
    {"IBreak6", {nullptr, {}}},
    {"IZoomIn", {"Zoom in", QKeySequence(Qt::KeypadModifier | Qt::Key_Plus), "BtBrowZoomIn"}},
    {"IZoomOut", {"Zoom out", QKeySequence(Qt::KeypadModifier | Qt::Key_Minus), "BtBrowZoomOut"}},
    {"IGrid", {"Grid on/off", QKeySequence(Qt::CTRL | Qt::Key_G), "ChkGrid"}},
    {"ISelMode", {"Activate 'Select' Mode", {}, "OptionSelect"}},
    {"IPaiMode", {"Activate 'Paint' Mode", {}, "OptionPaint"}},
    {"IFilMode", {"Activate 'Fill' Mode", {}, "OptionFill"}},
    {"IBreak2", {nullptr, {}}},
    {"ISaveAll", {"Save all", QKeySequence(Qt::CTRL | Qt::Key_S), "BtSaveEdit"}},
    {"IReloadAll", {"Reload all", {}, "BtReload"}},
    {"IClearAll", {"Clear all", {}, "BtEditClear"}},
    {"IBreak1", {nullptr, {}}},
    {"IEZoomIn", {"Zoom in", QKeySequence(Qt::KeypadModifier | Qt::Key_Minus), "BtEditZoomIn"}},
    {"IEZoomOut", {"Zoom out", QKeySequence(Qt::KeypadModifier | Qt::Key_Plus), "BtEditZoomOut"}},
    {"IResize", {"Resize", {}, "BtFit"}},
    {"IEGrid", {"Grid on/off", QKeySequence(Qt::CTRL | Qt::Key_G), "ChkGridEditor"}},
    {"INonCopied", {"Show/hide noncopied tiles", QKeySequence(Qt::CTRL | Qt::Key_N), "ChkNoncopied"}},
    {"ITSave", {"Save tile", QKeySequence(Qt::Key_Enter), "SaveTile"}},
    {"ITSaveSel", {"Save tile to selection", QKeySequence(Qt::Key_S), "BtCopySelTile"}},
    {"ITSaveAdd", {"Save tile to address", QKeySequence(Qt::Key_A), "BtCopyToAddress"}},
    {"IBreak3", {nullptr, {}}},
    {"ITReload", {"Reload tile", QKeySequence(Qt::Key_R), "BtReloadTile"}},
    {"ITClear", {"Clear tile", QKeySequence(Qt::Key_C), "BtDeleteSprite"}},
    {"IBreak4", {nullptr, {}}},
    {"ITMirrow", {"Mirrow tile", QKeySequence(Qt::Key_End), "BtFlipY"}},
    {"ITFlip", {"Flip tile", QKeySequence(Qt::Key_Delete), "BtFlipX"}},
    {"ITRotate", {"Rotate tile", QKeySequence(Qt::Key_PageDown), "BtRotate"}},
    // Added: Ctrl+F works wherever the focus is.
    {"IBreak9", {nullptr}},
    {"ITFind", {"Find graphics...", QKeySequence(Qt::CTRL | Qt::Key_F), "ShowFindGraphics", Qt::ApplicationShortcut}},
    {"ITFindStreams", {"Find compressed data...", {}, "ShowFindStreams"}},
    {"ITBackToFile", {"Back to the file", {}, "BackToFile"}},
    {"IOption", {"Options", {}, "ShowOptions"}},
    {"IBreak5", {nullptr, {}}},
    {"IHelp", {"Info", {}, "ShowHelp"}},
    // Added: the user's manual in a window.
    {"IManual", {"User's manual", {}, "ShowManual"}},
};

using MainMenus = ActionFixture;

}  // namespace

TEST_F(MainMenus, TableBuildsTheFourMenusLeftToRight)
{
    const std::vector<std::pair<std::string, std::string>> shown = {
        {"IBrowser", "Browser"}, {"IEditor", "Editor"}, {"ITile", "Tile"}, {"IIhelp", "Help"}};
    const QList<QAction*> bar = form->menuBar()->actions();
    ASSERT_EQ(MainMenuTable().size(), shown.size());
    // The added menus come after the four.
    const std::vector<std::string> added = {"Edit", "Layout", "Go", "Draw", "Window"};
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(shown.size() + added.size()));
    ASSERT_EQ(AddedMenuTable().size(), added.size());
    for (std::size_t m = 0; m < added.size(); ++m)
        EXPECT_EQ(bar[static_cast<qsizetype>(shown.size() + m)]->text().toStdString(), added[m]);
    for (std::size_t m = 0; m < shown.size(); ++m) {
        EXPECT_EQ(MainMenuTable()[m].Name, shown[m].first);
        QMenu* menu = form->menuBar()->findChild<QMenu*>(QString::fromStdString(shown[m].first));
        ASSERT_NE(menu, nullptr) << shown[m].first;
        EXPECT_EQ(bar[static_cast<qsizetype>(m)], menu->menuAction());
        EXPECT_EQ(menu->title().toStdString(), shown[m].second);
    }
}

TEST_F(MainMenus, EveryItemShowsItsTextAndKeyInOrderAndRunsItsAction)
{
    std::set<std::string> walked;
    for (const MenuEntry& entry : MainMenuTable()) {
        QMenu* menu = form->menuBar()->findChild<QMenu*>(entry.Name);
        ASSERT_NE(menu, nullptr) << entry.Name;
        const QList<QAction*> lines = menu->actions();
        ASSERT_EQ(lines.size(), static_cast<qsizetype>(entry.Items.size())) << entry.Name;
        for (std::size_t i = 0; i < entry.Items.size(); ++i) {
            const MenuItemEntry& item = entry.Items[i];
            SCOPED_TRACE(item.Name);
            const auto shown = ShownItems.find(item.Name);
            ASSERT_NE(shown, ShownItems.end()) << "an item the menus do not show";
            walked.insert(item.Name);
            // Found by its object name, where the table puts it.
            QAction* action = form->findChild<QAction*>(item.Name);
            ASSERT_NE(action, nullptr);
            EXPECT_EQ(lines[static_cast<qsizetype>(i)], action);
            if (shown->second.Text == nullptr) {
                EXPECT_TRUE(action->isSeparator());
                continue;
            }
            EXPECT_FALSE(action->isSeparator());
            EXPECT_EQ(action->text().toStdString(), shown->second.Text);
            EXPECT_EQ(action->shortcut(), shown->second.Key);
            if (!shown->second.Key.isEmpty()) {
                EXPECT_EQ(action->shortcutContext(), shown->second.Context);
            }
            RunChecked(shown->second.Action, [action] { action->trigger(); });
        }
    }
    EXPECT_EQ(walked.size(), ShownItems.size());
}
