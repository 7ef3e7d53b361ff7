#include "ui/app/main_menus.h"

#include "ui/app/help.h"
#include "ui/app/main_form.h"
#include "ui/app/manual_window.h"
#include "ui/app/options.h"
#include "ui/app/tools.h"
#include "ui/app/undo_edge.h"
#include "ui/app/window_arrangement.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/editor/pattern.h"
#include "ui/palette/color_set.h"
#include "ui/palette/palette_ctrl.h"
#include "ui/tools/c_out_put.h"
#include "ui/floor/child_window.h"
#include "ui/floor/shell.h"
#include "ui/floor/windows.h"
#include "ui/tools/find_graphics.h"
#include "ui/tools/find_streams.h"
#include "ui/tools/tilemap_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr MenuItemEntry BrowserItems[] = {
    {"IOpen", "Open file", Qt::CTRL | Qt::Key_O, [](Windows& w) { w.BrowCtrl->BtOpenFile_Click(); }},
    {"IClose", "Close file", Qt::CTRL | Qt::Key_C, [](Windows& w) { w.BrowCtrl->BtCloseFile_Click(); }},
    {"IExit", "Exit", {}, [](Windows& w) { w.Shell.MainWindow().close(); }},
    {"IBreak6"},
    {"IZoomIn", "Zoom in", Qt::KeypadModifier | Qt::Key_Plus, [](Windows& w) { w.BrowCtrl->BtBrowZoomIn_Click(); }},
    {"IZoomOut", "Zoom out", Qt::KeypadModifier | Qt::Key_Minus, [](Windows& w) { w.BrowCtrl->BtBrowZoomOut_Click(); }},
    {"IGrid", "Grid on/off", Qt::CTRL | Qt::Key_G, [](Windows& w) { w.BrowCtrl->ToggleGrid(); }},
};

constexpr MenuItemEntry EditorItems[] = {
    {"ISelMode", "Activate 'Select' Mode", {}, [](Windows& w) { w.EditCtrl->SetEditMode(EditorTool::Select); }},
    {"IPaiMode", "Activate 'Paint' Mode", {}, [](Windows& w) { w.EditCtrl->SetEditMode(EditorTool::Paint); }},
    {"IFilMode", "Activate 'Fill' Mode", {}, [](Windows& w) { w.EditCtrl->SetEditMode(EditorTool::Fill); }},
    {"IBreak2"},
    {"ISaveAll", "Save all", Qt::CTRL | Qt::Key_S, [](Windows& w) { w.EditCtrl->BtSaveEdit_Click(); }},
    {"IReloadAll", "Reload all", {}, [](Windows& w) { w.EditCtrl->BtReload_Click(); }},
    {"IClearAll", "Clear all", {}, [](Windows& w) { w.EditCtrl->BtEditClear_Click(); }},
    {"IBreak1"},
    // "Zoom in" runs the button named ZoomIn, which makes the tiles smaller;
    // the editor runs it on keypad -.
    {"IEZoomIn", "Zoom in", Qt::KeypadModifier | Qt::Key_Minus, [](Windows& w) { w.EditCtrl->BtEditZoomIn_Click(); }},
    {"IEZoomOut", "Zoom out", Qt::KeypadModifier | Qt::Key_Plus, [](Windows& w) { w.EditCtrl->BtEditZoomOut_Click(); }},
    {"IResize", "Resize", {}, [](Windows& w) { w.Editor->BtFit_Click(); }},
    {"IEGrid", "Grid on/off", Qt::CTRL | Qt::Key_G, [](Windows& w) { w.EditCtrl->ChkGridEditor->click(); }},
    {"INonCopied", "Show/hide noncopied tiles", Qt::CTRL | Qt::Key_N,
     [](Windows& w) { w.EditCtrl->ChkNoncopied->click(); }},
};

constexpr MenuItemEntry TileItems[] = {
    {"ITSave", "Save tile", Qt::Key_Enter, [](Windows& w) { w.TileCtrl->SaveTile_Click(); }},
    {"ITSaveSel", "Save tile to selection", Qt::Key_S, [](Windows& w) { w.TileCtrl->BtCopySelTile_Click(); }},
    {"ITSaveAdd", "Save tile to address", Qt::Key_A, [](Windows& w) { w.TileCtrl->BtCopyToAddress_Click(); }},
    {"IBreak3"},
    {"ITReload", "Reload tile", Qt::Key_R, [](Windows& w) { w.TileCtrl->BtReloadTile_Click(); }},
    {"ITClear", "Clear tile", Qt::Key_C, [](Windows& w) { w.TileCtrl->BtDeleteSprite_Click(); }},
    {"IBreak4"},
    {"ITMirrow", "Mirrow tile", Qt::Key_End, [](Windows& w) { w.TileCtrl->BtFlipY_Click(); }},
    {"ITFlip", "Flip tile", Qt::Key_Delete, [](Windows& w) { w.TileCtrl->BtFlipX_Click(); }},
    {"ITRotate", "Rotate tile", Qt::Key_PageDown, [](Windows& w) { w.TileCtrl->BtRotate_Click(); }},
    // Added after the described items; Ctrl+F is a window-wide key below.
    {"IBreak9"},
    {"ITFind", "Find graphics...", {}, [](Windows& w) { w.FindGraphics->ShowTool(); }},
    {"ITFindStreams", "Find compressed data...", {}, [](Windows& w) { w.FindStreams->ShowTool(); }},
    {"ITBackToFile", "Back to the file", {}, [](Windows& w) { w.FindStreams->BtBack_Click(); }},
};

constexpr MenuItemEntry HelpItems[] = {
    {"IOption", "Options", {}, [](Windows& w) { w.Options->ShowOptions(); }},
    {"IBreak5"},
    {"IHelp", "Info", {}, [](Windows& w) { w.Help->ShowHelp(); }},
    // Added after the described items.
    {"IManual", "User's manual", {}, [](Windows& w) { ShowManual(w); }},
};

// Added after the four menus above: the history of changes and patches.
constexpr MenuItemEntry EditItems[] = {
    {"IUndo", "Undo", Qt::CTRL | Qt::Key_Z, [](Windows& w) { w.UndoEdge->Undo(); }},
    {"IRedo", "Redo", Qt::CTRL | Qt::Key_Y, [](Windows& w) { w.UndoEdge->Redo(); }},
    {"IBreak7"},
    {"IRevert", "Revert file to opened state", {}, [](Windows& w) { w.UndoEdge->RevertFile(); }},
    {"IBreak8"},
    {"ICreatePatch", "Create patch...", {}, [](Windows& w) { w.UndoEdge->CreatePatch(); }},
    {"IApplyPatch", "Apply patch...", {}, [](Windows& w) { w.UndoEdge->ApplyPatch(); }},
    {"IBreak11"},
    // Pictures through the system clipboard; the keys are the main window's.
    {"ICopyCell", "Copy cell", Qt::CTRL | Qt::SHIFT | Qt::Key_C, [](Windows& w) { w.Editor->CopyCursorCell(); },
     nullptr, false, true},
    {"ICopyCells", "Copy all cells", {}, [](Windows& w) { w.Editor->CopyAllCells(); }},
    {"ICopyBrowserTile", "Copy browser tile", {}, [](Windows& w) { w.Browser->CopySelectedTile(); }},
    {"IPasteCell", "Paste into cell", Qt::CTRL | Qt::SHIFT | Qt::Key_V,
     [](Windows& w) { w.Editor->PasteIntoCursorCell(); }, nullptr, false, true},
};

template <int Width, int Height, bool Columns>
void ChooseLayout(Windows& w)
{
    w.BrowCtrl->SetLayout({Width, Height, Columns});
}

template <int Width, int Height, bool Columns>
bool IsLayout(Windows& w)
{
    return w.BrowCtrl->Layout() == TileLayout{Width, Height, Columns};
}

template <int Width, int Height, bool Columns>
constexpr MenuItemEntry LayoutItem(const char* name, const char* text)
{
    return {name, text, {}, &ChooseLayout<Width, Height, Columns>, &IsLayout<Width, Height, Columns>};
}

bool NoPresetLayoutChecked(Windows& w);

// Added after the Edit menu: how the browser lays tiles out, and maps.
constexpr MenuItemEntry LayoutItems[] = {
    LayoutItem<1, 1, false>("ILayRows", "Tiles in rows"),
    LayoutItem<1, 2, false>("ILay1x2", "8x16 sprites (1x2)"),
    LayoutItem<2, 2, false>("ILay2x2", "2x2 blocks, row by row"),
    LayoutItem<2, 2, true>("ILay2x2Col", "2x2 blocks, column by column"),
    LayoutItem<3, 3, true>("ILay3x3Col", "3x3 blocks, column by column"),
    LayoutItem<4, 4, false>("ILay4x4", "4x4 blocks, row by row"),
    LayoutItem<4, 4, true>("ILay4x4Col", "4x4 blocks, column by column"),
    LayoutItem<8, 8, false>("ILay8x8", "8x8 blocks, row by row"),
    {"ILayCustom", "Other blocks...", {}, [](Windows& w) { w.BrowCtrl->ChooseOtherLayout(); },
     &NoPresetLayoutChecked},
    {"IBreak10"},
    {"ILayTilemap", "Tilemap...", {}, [](Windows& w) { w.Tilemap->ShowWindow(); }},
};

// Added after the Layout menu: moving through the file and back.
// The keys are added ones that work wherever the focus is; Alt with the
// arrows and page keys is none of the described windows' keys.
constexpr MenuItemEntry GoItems[] = {
    {"IGoNextLine", "Next line", Qt::ALT | Qt::Key_Down, [](Windows& w) { w.Browser->StepLines(1); }, nullptr, false, true},
    {"IGoPrevLine", "Previous line", Qt::ALT | Qt::Key_Up, [](Windows& w) { w.Browser->StepLines(-1); }, nullptr, false, true},
    {"IGoNextScreen", "Next screen", Qt::ALT | Qt::Key_PageDown, [](Windows& w) { w.Browser->StepScreens(1); },
     nullptr, false, true},
    {"IGoPrevScreen", "Previous screen", Qt::ALT | Qt::Key_PageUp, [](Windows& w) { w.Browser->StepScreens(-1); },
     nullptr, false, true},
    {"IGoBreak1"},
    {"IGoAddress", "Go to address", Qt::CTRL | Qt::Key_L, [](Windows& w) { w.BrowCtrl->FocusJumpField(); }, nullptr,
     false, true},
    {"IGoBack", "Back", Qt::ALT | Qt::Key_Left, [](Windows& w) { w.BrowCtrl->GoBack(); }, nullptr, false, true},
    {"IGoForward", "Forward", Qt::ALT | Qt::Key_Right, [](Windows& w) { w.BrowCtrl->GoForward(); }, nullptr, false,
     true},
    {"IGoBreak2"},
    {"IGoHex", "Show addresses in hexadecimal", {}, [](Windows& w) { w.BrowCtrl->SetHexAddresses(!w.BrowCtrl->HexAddresses()); },
     [](Windows& w) { return w.BrowCtrl->HexAddresses(); }, true},
};

template <EditorTool Tool>
void ChooseTool(Windows& w)
{
    w.EditCtrl->SetEditMode(Tool);
}

template <EditorTool Tool>
bool IsTool(Windows& w)
{
    return w.EditCtrl->EditMode() == Tool;
}

template <EditorTool Tool>
constexpr MenuItemEntry ToolItem(const char* name, const char* text)
{
    return {name, text, {}, &ChooseTool<Tool>, &IsTool<Tool>};
}

// Added after the Go menu: every tool of the editor, the drawing tools
// beyond the described three among them, as one choice.
constexpr MenuItemEntry DrawItems[] = {
    ToolItem<EditorTool::Select>("IDrawSelect", "Select"),
    ToolItem<EditorTool::Paint>("IDrawPaint", "Paint"),
    ToolItem<EditorTool::Fill>("IDrawFill", "Fill tile"),
    ToolItem<EditorTool::FloodFill>("IDrawFlood", "Flood fill"),
    ToolItem<EditorTool::Line>("IDrawLine", "Line"),
    ToolItem<EditorTool::Rectangle>("IDrawRect", "Rectangle"),
    ToolItem<EditorTool::FilledRectangle>("IDrawFilledRect", "Filled rectangle"),
    {"IDrawBreak1"},
    {"IDrawReplace", "Replace color...", {}, [](Windows& w) { w.Editor->ReplaceColorInCells(); }},
};

// Added last: every window, and the way back to a tidy arrangement.
template <auto Window> void ShowChild(Windows& w)
{
    BringChildForward(w.*Window);
}

constexpr MenuItemEntry WindowItems[] = {
    {"IWinTools", "Controls", {}, &ShowChild<&Windows::Tools>},
    {"IWinBrowCtrl", "Browser Control", {}, &ShowChild<&Windows::BrowCtrl>},
    {"IWinBrowser", "Browser", {}, [](Windows& w) { w.BrowCtrl->ShowBrowser(); }},
    {"IWinPalette", "Color Palette", {}, &ShowChild<&Windows::PaletteCtrl>},
    {"IWinEditCtrl", "Editor Control", {}, &ShowChild<&Windows::EditCtrl>},
    {"IWinEditor", "Editor", {}, &ShowChild<&Windows::Editor>},
    {"IWinTileCtrl", "Tile Tool", {}, &ShowChild<&Windows::TileCtrl>},
    {"IWinTilemap", "Tilemap", {}, [](Windows& w) { w.Tilemap->ShowWindow(); }},
    {"IWinBreak1"},
    {"IWinColorSet", "Color Set", {}, [](Windows& w) { w.ColorSet->ShowTool(); }},
    {"IWinBookmark", "Bookmark Tool", {}, [](Windows& w) { w.BrowCtrl->BtBookmark_Click(); }},
    {"IWinFileInfo", "File Info", {}, [](Windows& w) { w.BrowCtrl->BtFileInfo_Click(); }},
    {"IWinPattern", "Editor Address Patterns", {}, [](Windows& w) { w.Pattern->ShowTool(); }},
    {"IWinCOutPut", "Tile and Palette C/C++ Converter", {}, [](Windows& w) { w.COutPut->ShowTool(); }},
    {"IWinFind", "Find graphics", {}, [](Windows& w) { w.FindGraphics->ShowTool(); }},
    {"IWinFindStreams", "Find compressed data", {}, [](Windows& w) { w.FindStreams->ShowTool(); }},
    {"IWinOptions", "Options", {}, [](Windows& w) { w.Options->ShowOptions(); }},
    {"IWinBreak2"},
    {"IWinIntoView", "Bring all windows into view", {}, [](Windows& w) { BringAllWindowsIntoView(w.Shell.MainWindow()); }},
    {"IWinReset", "Reset layout", {}, [](Windows& w) { ResetWindowLayout(w.Shell.MainWindow(), w, w.BrowCtrl->FileOpen()); }},
};

constexpr MenuEntry Menus[] = {
    {"IBrowser", "Browser", BrowserItems}, {"IEditor", "Editor", EditorItems}, {"ITile", "Tile", TileItems},
    {"IIhelp", "Help", HelpItems},         {"IEdit", "Edit", EditItems},       {"ILayout", "Layout", LayoutItems},
    {"IGo", "Go", GoItems},                {"IDraw", "Draw", DrawItems},       {"IWindow", "Window", WindowItems},
};

constexpr WindowWideKey WindowWideKeys[] = {
    // "Save all" keeps its described key only shown in its menu.
    {"ISaveAll", Qt::CTRL | Qt::Key_S, false},
    {"IUndo", Qt::CTRL | Qt::Key_Z},
    {"IRedo", Qt::CTRL | Qt::Key_Y},
    {"IRedo", Qt::CTRL | Qt::SHIFT | Qt::Key_Z},
    {"ITFind", Qt::CTRL | Qt::Key_F},
};

// "Other blocks..." is checked when no block size of the menu's own is.
bool NoPresetLayoutChecked(Windows& w)
{
    for (const MenuItemEntry& item : LayoutItems)
        if (item.Checked && item.Checked != &NoPresetLayoutChecked && item.Checked(w))
            return false;
    return true;
}

// The four menus the program has always had; the ones after them are added.
constexpr std::size_t FirstMenusCount = 4;

}  // namespace

std::span<const MenuEntry> MainMenuTable()
{
    return std::span<const MenuEntry>(Menus).first(FirstMenusCount);
}

std::span<const MenuEntry> AddedMenuTable()
{
    return std::span<const MenuEntry>(Menus).subspan(FirstMenusCount);
}

std::span<const WindowWideKey> WindowWideKeyTable()
{
    return WindowWideKeys;
}

std::vector<QMenu*> BuildMainMenus(QMenuBar& bar, Windows& windows)
{
    std::vector<QMenu*> menus;
    for (const MenuEntry& entry : Menus) {
        QMenu* menu = bar.addMenu(QString::fromLatin1(entry.Title));
        menu->setObjectName(QString::fromLatin1(entry.Name));
        // The checked items of a menu are one choice: one at a time.
        QActionGroup* choice = nullptr;
        for (const MenuItemEntry& item : entry.Items) {
            if (item.IsSeparator()) {
                menu->addSeparator()->setObjectName(QString::fromLatin1(item.Name));
                continue;
            }
            QAction* action = menu->addAction(QString::fromLatin1(item.Text));
            action->setObjectName(QString::fromLatin1(item.Name));
            if (item.Key.key() != Qt::Key_unknown) {
                action->setShortcut(item.Key);
                action->setShortcutContext(Qt::WidgetShortcut);
            }
            QObject::connect(action, &QAction::triggered, action, [&windows, run = item.Run] { run(windows); });
            if (item.Checked) {
                if (!item.Toggle) {
                    if (!choice)
                        choice = new QActionGroup(menu);
                    choice->addAction(action);
                }
                action->setCheckable(true);
                QObject::connect(menu, &QMenu::aboutToShow, action,
                                 [&windows, action, checked = item.Checked] { action->setChecked(checked(windows)); });
            }
        }
        menus.push_back(menu);
    }
    return menus;
}
