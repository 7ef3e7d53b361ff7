#include "ui/app/tools.h"
#include "ui/editor/bmp_actions.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/pattern.h"
#include "ui/editor/png_actions.h"
#include "ui/editor/tile_ctrl.h"

#include "model/core/program_state.h"
#include "ui/app/help.h"
#include "ui/app/options.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/floor/child_window.h"
#include "ui/floor/icons.h"
#include "ui/floor/shell.h"
#include "ui/floor/windows.h"
#include "ui/palette/color_set.h"
#include "ui/palette/palette_ctrl.h"
#include "ui/tools/find_graphics.h"

#include <QFrame>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QFrame* GroupLine()
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

template <class Window, class Owner> void Tools::RunOn(Window* Windows::*window, void (Owner::*action)())
{
    ((windows_.*window)->*action)();
}

std::span<const ToolControl> Tools::ControlTable()
{
    using enum ToolControl::Kind;
    static constexpr ToolControl Controls[] = {
        {&Tools::ChkMenu, "ChkMenu", 1, IconKind::Menu, "Show/Hide the Menu Bar", PressedToggle,
         [](Tools& t) { t.windows_.Shell.ShowMenus(t.ChkMenu->isChecked()); }},
        {&Tools::Bthelp, "Bthelp", 1, IconKind::Help, "Help", Button,
         [](Tools& t) { t.RunOn(&Windows::Help, &Help::ShowHelp); }},
        {&Tools::BtOptions, "BtOptions", 1, IconKind::Options, "Options", Button,
         [](Tools& t) { t.RunOn(&Windows::Options, &Options::ShowOptions); }},
        {&Tools::BtFileInfo, "BtFileInfo", 2, IconKind::FileInfo, "Open the 'File Info' tool", Button,
         [](Tools& t) { t.RunOn(&Windows::BrowCtrl, &BrowCtrl::BtFileInfo_Click); }},
        {&Tools::BtColorSet, "BtColorSet", 2, IconKind::ColorSet, "Open the 'Color Set' tool", Button,
         [](Tools& t) { t.RunOn(&Windows::ColorSet, &ColorSet::ShowTool); }},
        {&Tools::BtBookmark, "BtBookmark", 2, IconKind::Bookmark, "Open the 'Bookmark' tool", Button,
         [](Tools& t) { t.RunOn(&Windows::BrowCtrl, &BrowCtrl::BtBookmark_Click); }},
        {&Tools::BtBMPImport, "BtBMPImport", 2, IconKind::BmpImport, "Import a BMP file into the editor", Button,
         [](Tools& t) { ImportBmp(t.state_, t.windows_); }},
        {&Tools::BtSaveBMP, "BtSaveBMP", 2, IconKind::BmpExport, "Export the editor to a BMP file", Button,
         [](Tools& t) { ExportBmp(t.state_, t.windows_); }},
        {&Tools::BtEditPatt, "BtEditPatt", 2, IconKind::Patterns, "Open the 'Editor Address Patterns' tool", Button,
         [](Tools& t) { t.RunOn(&Windows::Pattern, &Pattern::ShowTool); }},
        {&Tools::ChkTile, "ChkTile", 3, IconKind::TileTool, "Show/Hide the Tile Tool", Toggle,
         [](Tools& t) { t.WindowSwitch_Click(); }},
        {&Tools::ChkEdit, "ChkEdit", 3, IconKind::Editor, "Show/Hide the Editor and its controls", Toggle,
         [](Tools& t) { t.WindowSwitch_Click(); }},
        {&Tools::ChkBrow, "ChkBrow", 3, IconKind::Browser, "Show/Hide the Browser and its controls", Toggle,
         [](Tools& t) { t.WindowSwitch_Click(); }},
        {&Tools::BtPngImport, "BtPngImport", 4, IconKind::PngImport, "Import a PNG file into the editor", Button,
         [](Tools& t) { ImportPng(t.state_, t.windows_); }},
        {&Tools::BtPngExport, "BtPngExport", 4, IconKind::PngExport, "Export the editor to a PNG file", Button,
         [](Tools& t) { ExportEditorPng(t.state_, t.windows_); }},
        {&Tools::BtPngBrowser, "BtPngBrowser", 4, IconKind::PngBrowser, "Export the browser grid to a PNG file", Button,
         [](Tools& t) { ExportBrowserPng(t.state_, t.windows_); }},
        {&Tools::BtFindGraphics, "BtFindGraphics", 4, IconKind::FindGraphics, "Open the 'Find graphics' tool", Button,
         [](Tools& t) { t.RunOn(&Windows::FindGraphics, &FindGraphics::ShowTool); }},
    };
    return Controls;
}

Tools::Tools(ProgramState& state, Windows& windows, QWidget* parent) : QWidget(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Controls"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    int group = ControlTable().front().Group;
    for (const ToolControl& control : ControlTable()) {
        QToolButton* button = MakePictureButton(control.Icon, control.ToolTip, control.Type != ToolControl::Button,
                                                control.Type == ToolControl::PressedToggle);
        button->setObjectName(QString::fromLatin1(control.Name));
        this->*control.Control = button;
        if (control.Group != group) {
            layout->addWidget(GroupLine());
            group = control.Group;
        }
        layout->addWidget(button);
        // A click, by the mouse, a key or a restored layout, runs the control's action.
        connect(button, &QToolButton::clicked, this, [this, run = control.Run] { run(*this); });
    }
    layout->addStretch();
    windows_.Changes.Subscribe(ChangeKind::Layout, [this](const Change&) { ApplyToolPanel(); });
}

void Tools::WindowSwitch_Click()
{
    arranged_ = true;
    ApplyToolPanel();
}

void Tools::ApplyToolPanel()
{
    // With all switches released and nothing arranged yet, an arrangement
    // would hide every window the start showed, for instance on an editor zoom.
    if (!arranged_)
        return;
    if (ChkBrow->isChecked()) {
        if (state_.FileOpen())
            SetChildVisible(windows_.Browser, true);
        SetChildVisible(windows_.BrowCtrl, true);
        SetChildVisible(windows_.PaletteCtrl, true);
    } else {
        SetChildVisible(windows_.Browser, false);
        SetChildVisible(windows_.BrowCtrl, false);
    }
    const bool edit = ChkEdit->isChecked();
    SetChildVisible(windows_.Editor, edit);
    SetChildVisible(windows_.EditCtrl, edit);
    if (edit)
        SetChildVisible(windows_.PaletteCtrl, true);
    SetChildVisible(windows_.TileCtrl, ChkTile->isChecked());
    if (!ChkBrow->isChecked() && !ChkEdit->isChecked())
        SetChildVisible(windows_.PaletteCtrl, false);
}
