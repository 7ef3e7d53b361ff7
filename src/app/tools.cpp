#include "app/tools.h"
#include "editor/bmp_actions.h"
#include "editor/edit_ctrl.h"
#include "editor/editor.h"
#include "editor/pattern.h"
#include "editor/tile_ctrl.h"

#include "app/child_window.h"
#include "app/help.h"
#include "app/icons.h"
#include "app/main_form.h"
#include "app/options.h"
#include "app/windows.h"
#include "browser/brow_ctrl.h"
#include "browser/browser.h"
#include "core/program_state.h"
#include "palette/color_set.h"
#include "palette/palette_ctrl.h"

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

Tools::Tools(ProgramState& state, Windows& windows, QWidget* parent) : QWidget(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Controls"));

    ChkMenu = MakePictureButton(IconKind::Menu, "Show/Hide the Menu Bar", true, true);
    Bthelp = MakePictureButton(IconKind::Help, "Help");
    BtOptions = MakePictureButton(IconKind::Options, "Options");
    BtFileInfo = MakePictureButton(IconKind::FileInfo, "Open the 'File Info' tool");
    BtColorSet = MakePictureButton(IconKind::ColorSet, "Open the 'Color Set' tool");
    BtBookmark = MakePictureButton(IconKind::Bookmark, "Open the 'Bookmark' tool");
    BtBMPImport = MakePictureButton(IconKind::BmpImport, "Import a BMP file into the editor");
    BtSaveBMP = MakePictureButton(IconKind::BmpExport, "Export the editor to a BMP file");
    BtEditPatt = MakePictureButton(IconKind::Patterns, "Open the 'Editor Address Patterns' tool");
    ChkTile = MakePictureButton(IconKind::TileTool, "Show/Hide the Tile Tool", true);
    ChkEdit = MakePictureButton(IconKind::Editor, "Show/Hide the Editor and its controls", true);
    ChkBrow = MakePictureButton(IconKind::Browser, "Show/Hide the Browser and its controls", true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    for (QToolButton* button : {ChkMenu, Bthelp, BtOptions})
        layout->addWidget(button);
    layout->addWidget(GroupLine());
    for (QToolButton* button : {BtFileInfo, BtColorSet, BtBookmark, BtBMPImport, BtSaveBMP, BtEditPatt})
        layout->addWidget(button);
    layout->addWidget(GroupLine());
    for (QToolButton* button : {ChkTile, ChkEdit, ChkBrow})
        layout->addWidget(button);
    layout->addStretch();

    connect(ChkMenu, &QToolButton::toggled, this, [this](bool pressed) {
        if (windows_.MainForm)
            windows_.MainForm->ShowMenus(pressed);
    });
    connect(Bthelp, &QToolButton::clicked, this, [this] {
        if (windows_.Help)
            windows_.Help->ShowHelp();
    });
    connect(BtOptions, &QToolButton::clicked, this, [this] {
        if (windows_.Options)
            windows_.Options->ShowOptions();
    });
    connect(BtEditPatt, &QToolButton::clicked, this, [this] {
        if (windows_.Pattern)
            windows_.Pattern->ShowTool();
    });
    connect(BtBMPImport, &QToolButton::clicked, this, [this] { ImportBmp(state_, windows_); });
    connect(BtSaveBMP, &QToolButton::clicked, this, [this] { ExportBmp(state_, windows_); });
    connect(BtColorSet, &QToolButton::clicked, this, [this] {
        if (windows_.ColorSet)
            windows_.ColorSet->ShowTool();
    });
    connect(BtFileInfo, &QToolButton::clicked, this, [this] {
        if (windows_.BrowCtrl)
            windows_.BrowCtrl->BtFileInfo_Click();
    });
    connect(BtBookmark, &QToolButton::clicked, this, [this] {
        if (windows_.BrowCtrl)
            windows_.BrowCtrl->BtBookmark_Click();
    });
    for (QToolButton* toggle : {ChkTile, ChkEdit, ChkBrow})
        connect(toggle, &QToolButton::clicked, this, &Tools::WindowSwitch_Click);
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
