#include "ui/editor/edit_ctrl.h"

#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "model/core/view_limits.h"
#include "model/editor/cell_writes.h"
#include "model/editor/editor_slots.h"
#include "model/editor/recorded_edits.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/floor/child_window.h"
#include "ui/floor/icons.h"
#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "ui/tools/c_out_put.h"

#include <QEvent>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <iterator>

EditCtrl::EditCtrl(ProgramState& state, Windows& windows, QWidget* parent)
    : QWidget(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Editor Control"));

    OptionSelect = new QRadioButton(QStringLiteral("Select"));
    OptionSelect->setToolTip(QStringLiteral("Switch to 'Select' mode"));
    OptionPaint = new QRadioButton(QStringLiteral("Paint"));
    OptionPaint->setToolTip(QStringLiteral("Switch to 'Paint' mode"));
    OptionFill = new QRadioButton(QStringLiteral("Fill"));
    OptionFill->setToolTip(QStringLiteral("Switch to 'Fill' mode"));
    OptionSelect->setChecked(true);
    auto* modeFrame = new QGroupBox(QStringLiteral("Mode"));
    auto* modeLayout = new QVBoxLayout(modeFrame);
    for (QRadioButton* option : {OptionSelect, OptionPaint, OptionFill})
        modeLayout->addWidget(option);

    // The button named "ZoomOut" enlarges the tiles, as its tool tip says.
    BtEditZoomOut = MakePictureButton(IconKind::ZoomIn, "Zoom in");
    BtEditZoomIn = MakePictureButton(IconKind::ZoomOut, "Zoom out");
    ChkGridEditor = new QCheckBox(QStringLiteral("Grid"));
    ChkGridEditor->setToolTip(QStringLiteral("Grid on/off"));
    ChkGridEditor->setChecked(true);
    ChkNoncopied = new QCheckBox(QStringLiteral("Empty"));
    ChkNoncopied->setToolTip(QStringLiteral("Show/hide noncopied tiles"));
    BtCOutPut = MakePictureButton(IconKind::FileInfo, "Open the 'C Output' tool");
    auto* viewFrame = new QGroupBox(QStringLiteral("View"));
    auto* viewLayout = new QGridLayout(viewFrame);
    viewLayout->addWidget(BtEditZoomOut, 0, 0);
    viewLayout->addWidget(BtEditZoomIn, 0, 1);
    viewLayout->addWidget(BtCOutPut, 0, 2);
    viewLayout->addWidget(ChkGridEditor, 1, 0, 1, 3);
    viewLayout->addWidget(ChkNoncopied, 2, 0, 1, 3);

    BtSaveEdit = MakePictureButton(IconKind::BmpExport, "Save all tiles to file");
    BtReload = MakePictureButton(IconKind::Open, "Reload all tiles");
    BtEditClear = MakePictureButton(IconKind::Close, "Clear all tiles");
    auto* tilesFrame = new QGroupBox(QStringLiteral("All tiles"));
    auto* tilesLayout = new QHBoxLayout(tilesFrame);
    for (QToolButton* button : {BtSaveEdit, BtReload, BtEditClear})
        tilesLayout->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(modeFrame);
    layout->addWidget(viewFrame);
    layout->addWidget(tilesFrame);
    layout->addStretch();

    connect(OptionSelect, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            state_.EditMode = EditorTool::Select;
    });
    connect(OptionPaint, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            state_.EditMode = EditorTool::Paint;
    });
    connect(OptionFill, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            state_.EditMode = EditorTool::Fill;
    });
    connect(BtEditZoomOut, &QToolButton::clicked, this, &EditCtrl::BtEditZoomOut_Click);
    connect(BtEditZoomIn, &QToolButton::clicked, this, &EditCtrl::BtEditZoomIn_Click);
    connect(ChkGridEditor, &QCheckBox::clicked, this, [this](bool on) {
        state_.EditorGrid = on;
        windows_.Changes.Announce(ChangeKind::EditorView);
        ApplyToolPanel();
    });
    connect(ChkNoncopied, &QCheckBox::clicked, this, [this](bool on) {
        state_.ShowEmptyCells = on;
        windows_.Changes.Announce(ChangeKind::EditorView);
    });
    connect(BtCOutPut, &QToolButton::clicked, this, [this] { windows_.COutPut->ShowTool(); });
    connect(BtSaveEdit, &QToolButton::clicked, this, &EditCtrl::BtSaveEdit_Click);
    connect(BtReload, &QToolButton::clicked, this, &EditCtrl::BtReload_Click);
    connect(BtEditClear, &QToolButton::clicked, this, &EditCtrl::BtEditClear_Click);
}

void EditCtrl::changeEvent(QEvent* event)
{
    // The C output window belongs to this panel: it goes when the panel loses the focus.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        windows_.COutPut->HideTool();
    QWidget::changeEvent(event);
}

void EditCtrl::SetEditMode(EditorTool mode)
{
    QRadioButton* options[] = {OptionSelect, OptionPaint, OptionFill};
    const auto index = static_cast<std::size_t>(mode);
    if (index < std::size(options)) {
        options[index]->setChecked(true);
        return;
    }
    // A drawing tool the panel has no button for: no button shows checked,
    // so a click on any of them switches back.
    state_.EditMode = mode;
    for (QRadioButton* option : options) {
        if (!option->isChecked())
            continue;
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

EditorTool EditCtrl::EditMode() const
{
    return state_.EditMode;
}

void EditCtrl::ToggleGrid()
{
    ChkGridEditor->click();
}

void EditCtrl::ToggleEmptyCells()
{
    ChkNoncopied->click();
}

void EditCtrl::TakeFocus()
{
    ChildFrame(this)->activateWindow();
    OptionSelect->setFocus(Qt::OtherFocusReason);
}

void EditCtrl::BtEditZoomOut_Click()
{
    if (state_.EditorZoom >= MaxEditorZoom)
        return;
    ++state_.EditorZoom;
    ZoomFollowUp();
}

void EditCtrl::BtEditZoomIn_Click()
{
    if (state_.EditorZoom <= MinEditorZoom)
        return;
    --state_.EditorZoom;
    ZoomFollowUp();
}

void EditCtrl::ZoomFollowUp()
{
    windows_.Changes.Announce(ChangeKind::EditorView);
    ApplyToolPanel();
    windows_.Changes.Announce(ChangeKind::EditorSize);
}

void EditCtrl::ApplyToolPanel()
{
    windows_.Changes.Announce(ChangeKind::Layout);
}

void EditCtrl::BtSaveEdit_Click()
{
    ShowReport(windows_, SaveAllCellsAsStep(state_, windows_.Dialogs));
    RomBytesChanged(windows_);
}

void EditCtrl::BtReload_Click()
{
    if (!windows_.Dialogs.AskYesNo("Do you really want to reload all tiles?", "Reloading") || !state_.FileOpen())
        return;
    CellsChanged(windows_, RecordStep(state_.Recorder, "reload all", [&] { return ReloadAllSlots(state_); }));
}

void EditCtrl::BtEditClear_Click()
{
    if (!windows_.Dialogs.AskYesNo("Really delete all tiles in the editor?", "Clear the editor?"))
        return;
    RecordStep(state_.Recorder, "clear all", [&] { ClearAllSlots(state_.EditorSlots); });
    windows_.Changes.Announce(ChangeKind::EditorCleared);
    windows_.TileCtrl->LoadTile(-1);
    windows_.Changes.Announce(ChangeKind::EditorView);
    ApplyToolPanel();
}
