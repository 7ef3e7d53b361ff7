#include "ui/browser/brow_ctrl.h"

#include "model/browser/browser_nav.h"
#include "model/core/dialogs.h"
#include "model/core/number_text.h"
#include "model/core/program_state.h"
#include "model/core/rom_session.h"
#include "model/core/view_limits.h"
#include "model/palette/working_palette.h"
#include "ui/browser/browser.h"
#include "ui/browser/layout_dialog.h"
#include "ui/floor/program_settings.h"
#include "ui/floor/child_window.h"
#include "ui/floor/icons.h"
#include "ui/floor/refresh.h"
#include "ui/floor/shell.h"
#include "ui/floor/unsaved_guard.h"
#include "ui/floor/windows.h"
#include "ui/palette/color_set.h"
#include "ui/tools/bookmark.h"
#include "ui/tools/file_info.h"

#include <QSettings>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const RomFilter =
    "All compatible Roms| *.gb; *.gbc; *.ngp; *.npc; *.smc; *.sfc; *.fig; *.nes;*.fds;*.vb;*.bin;*.gg;*.sms;*.ws;*.wsc;"
    "*.hdf;*pce;*.gba;*.agb|Gameboy Roms (*.gb,*.gbc)|*.gb;*.gbc|Gameboy Advanced Roms (*.gba,*.agb,*.bin)|*.gba;*.agb;"
    "*.bin|NES Roms (*.nes,*.fds)|*.nes;*.fds|Neo Geo Pocket Roms (*.ngp,*.npc),|*.ngp;*.npc|Virtual Boy Roms (*.vb)|"
    "*.vb|Super Nintendo Roms (*.smc,*.sfc,*.fig)|*.smc; *.sfc;*.fig|Sega Genesis Roms (*.bin)|*.bin|Game Gear Roms "
    "(*.gg)|*.gg|Master System Roms (*.sms)|*.sms|Wonder Swan Color Roms (*.ws,*.wsc)|*.ws;*.wsc|x68000 Harddisk "
    "Images (*.hdf)|*.hdf|Intelli Vision Roms(*.bin)|*.bin|PC Engine Roms (*.pce)|*.pce|All files (*.*)|*.*";

QScrollBar* SizeScrollBar(int minimum, int maximum, int value)
{
    auto* bar = new QScrollBar(Qt::Horizontal);
    bar->setRange(minimum, maximum);
    bar->setValue(value);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    // While the thumb is dragged only the label follows.
    bar->setTracking(false);
    return bar;
}

}  // namespace

BrowCtrl::BrowCtrl(ProgramState& state, Windows& windows, QWidget* parent)
    : QWidget(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Browser Control"));

    ScrLines = SizeScrollBar(MinBrowserLines, MaxBrowserLines, state_.BrowserLines);
    LbLines = new QLabel(QString::number(state_.BrowserLines));
    ScrRows = SizeScrollBar(MinBrowserColumns, MaxBrowserColumns, state_.BrowserColumns);
    LbRows = new QLabel(QString::number(state_.BrowserColumns));
    auto* sizeFrame = new QGroupBox(QStringLiteral("Browser Size"));
    auto* sizeLayout = new QGridLayout(sizeFrame);
    sizeLayout->addWidget(new QLabel(QStringLiteral("Lines")), 0, 0);
    sizeLayout->addWidget(ScrLines, 0, 1);
    sizeLayout->addWidget(LbLines, 0, 2);
    sizeLayout->addWidget(new QLabel(QStringLiteral("Rows")), 1, 0);
    sizeLayout->addWidget(ScrRows, 1, 1);
    sizeLayout->addWidget(LbRows, 1, 2);

    ComboMode = new QComboBox;
    ComboMode->setToolTip(QStringLiteral("Select mode to use when reading and writing tiles"));
    auto* modeFrame = new QGroupBox(QStringLiteral("Modes"));
    (new QVBoxLayout(modeFrame))->addWidget(ComboMode);

    ScrollDiv = SizeScrollBar(0, 8, 0);
    LbDiv = new QLabel(QStringLiteral("0"));
    EdAdd = new QLineEdit(QStringLiteral("0"));
    BtJumpAdd = new QPushButton(QStringLiteral("Jump"));
    BtJumpAdd->setToolTip(QStringLiteral("Jump to address"));
    auto* addressFrame = new QGroupBox(QStringLiteral("Address"));
    auto* addressLayout = new QGridLayout(addressFrame);
    addressLayout->addWidget(ScrollDiv, 0, 0);
    addressLayout->addWidget(LbDiv, 0, 1);
    addressLayout->addWidget(EdAdd, 1, 0);
    addressLayout->addWidget(BtJumpAdd, 1, 1);

    BtColorSet = MakePictureButton(IconKind::ColorSet, "Open the 'Color Set' tool");
    ChkGrid = MakePictureButton(IconKind::Grid, "Grid on/off", true);
    ChkGrid->setChecked(true);
    BtBrowZoomOut = MakePictureButton(IconKind::ZoomOut, "Zoom out");
    BtBrowZoomIn = MakePictureButton(IconKind::ZoomIn, "Zoom in");
    auto* visualsFrame = new QGroupBox(QStringLiteral("Visuals"));
    auto* visualsLayout = new QHBoxLayout(visualsFrame);
    for (QToolButton* button : {BtColorSet, ChkGrid, BtBrowZoomOut, BtBrowZoomIn})
        visualsLayout->addWidget(button);

    BtBookmark = MakePictureButton(IconKind::Bookmark, "Open the 'Bookmark' tool");
    BtFileInfo = MakePictureButton(IconKind::FileInfo, "Open the 'File Info' tool");
    BtOpenFile = MakePictureButton(IconKind::Open, "Open a file");
    BtCloseFile = MakePictureButton(IconKind::Close, "Close file");
    auto* fileFrame = new QGroupBox(QStringLiteral("File"));
    auto* fileLayout = new QHBoxLayout(fileFrame);
    for (QToolButton* button : {BtBookmark, BtFileInfo, BtOpenFile, BtCloseFile})
        fileLayout->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    for (QGroupBox* frame : {sizeFrame, modeFrame, addressFrame, visualsFrame, fileFrame})
        layout->addWidget(frame);
    layout->addStretch();

    connect(ScrLines, &QScrollBar::sliderMoved, LbLines, qOverload<int>(&QLabel::setNum));
    connect(ScrRows, &QScrollBar::sliderMoved, LbRows, qOverload<int>(&QLabel::setNum));
    connect(ScrollDiv, &QScrollBar::sliderMoved, LbDiv, qOverload<int>(&QLabel::setNum));
    connect(ScrLines, &QScrollBar::valueChanged, this, &BrowCtrl::GridSize_Change);
    connect(ScrRows, &QScrollBar::valueChanged, this, &BrowCtrl::GridSize_Change);
    connect(ScrollDiv, &QScrollBar::valueChanged, this, &BrowCtrl::ScrollDiv_Change);
    connect(BtJumpAdd, &QPushButton::clicked, this, &BrowCtrl::BtJumpAdd_Click);
    // Return and the keypad's Enter in the address field jump like the button.
    connect(EdAdd, &QLineEdit::returnPressed, this, &BrowCtrl::BtJumpAdd_Click);
    connect(EdAdd, &QLineEdit::textChanged, this,
            [this](const QString& text) { state_.AddressFieldText = text.toStdString(); });
    connect(ChkGrid, &QToolButton::clicked, this, &BrowCtrl::ChkGrid_Click);
    connect(BtBrowZoomIn, &QToolButton::clicked, this, &BrowCtrl::BtBrowZoomIn_Click);
    connect(BtBrowZoomOut, &QToolButton::clicked, this, &BrowCtrl::BtBrowZoomOut_Click);
    connect(BtColorSet, &QToolButton::clicked, this, [this] { windows_.ColorSet->ShowTool(); });
    connect(BtBookmark, &QToolButton::clicked, this, &BrowCtrl::BtBookmark_Click);
    connect(BtFileInfo, &QToolButton::clicked, this, &BrowCtrl::BtFileInfo_Click);
    connect(BtOpenFile, &QToolButton::clicked, this, &BrowCtrl::BtOpenFile_Click);
    connect(BtCloseFile, &QToolButton::clicked, this, &BrowCtrl::BtCloseFile_Click);
    // The jump field shows the address it holds in the new form.
    windows_.Changes.Subscribe(ChangeKind::AddressForm, [this](const Change&) {
        ShowAddress(RoundHalfEven(ReadLenientNumber(EdAdd->text().toStdString())));
    });
    // Places of another file or other bytes mean nothing here.
    for (ChangeKind kind : {ChangeKind::FileOpened, ChangeKind::FileClosed, ChangeKind::TilesSource})
        windows_.Changes.Subscribe(kind, [this](const Change&) { jumps_.Clear(); });

    for (std::uint8_t index : ModeListOrder) {
        const std::string_view name = state_.ModeTable[index].Name;
        ComboMode->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    connect(ComboMode, &QComboBox::currentIndexChanged, this, &BrowCtrl::ComboMode_Click);
}

void BrowCtrl::SelectFirstMode()
{
    // Every file is first shown in the list's first mode. At start only the
    // browser follows it: the palette panel's shift count starts at 1.
    state_.CurrentMode = ModeListOrder[0];
    FollowMode();
}

void BrowCtrl::ScrollBrowser()
{
    Browser* browser = windows_.Browser;
    if (!browser->DoScroll) {
        browser->DoScroll = true;
        return;
    }
    state_.BrowserAddress =
        ScrolledAddress(state_.TilesLength(), BrowserRows(state_).Lines, BrowserRows(state_).LineTiles,
                        CurrentModeInfo(state_).BytesPerTile, browser->ScrAdd->value(), state_.BrowserDiv);
    browser->TimedReloadAndRedraw();
}

void BrowCtrl::ComboMode_Click(int position)
{
    if (position < 0 || position >= ModeCount)
        return;
    const BrowserPlace left = Place();
    state_.CurrentMode = ModeListOrder[position];
    ModeChanged(windows_, CurrentModeInfo(state_));
    FollowMode();
    if (!placing_)
        RecordJumpFrom(left);
}

void BrowCtrl::FollowMode()
{
    const ModeInfo& mode = CurrentModeInfo(state_);
    {
        const QSignalBlocker blocker(ScrollDiv);
        ScrollDiv->setMaximum(mode.BytesPerTile);
    }
    ShowFineOffset(0);

    ScrollBrowser();
    windows_.Changes.Announce(ChangeKind::BrowserSize);
}

void BrowCtrl::ScrollDiv_Change(int position)
{
    state_.BrowserDiv = position;
    LbDiv->setNum(position);
    LbDiv->repaint();
    ScrollBrowser();
}

void BrowCtrl::ShowFineOffset(std::uint8_t offset)
{
    // Set without the change handler: the caller reloads the view itself.
    state_.BrowserDiv = offset;
    {
        const QSignalBlocker blocker(ScrollDiv);
        ScrollDiv->setValue(offset);
    }
    LbDiv->setNum(offset);
}

void BrowCtrl::StepFineOffset(int delta)
{
    ScrollDiv->setValue(::StepFineOffset(ScrollDiv->value(), delta, CurrentModeInfo(state_).BytesPerTile));
}

void BrowCtrl::GridSize_Change()
{
    state_.BrowserLines = ScrLines->value();
    state_.BrowserColumns = ScrRows->value();
    LbLines->setNum(ScrLines->value());
    LbRows->setNum(ScrRows->value());
    ReloadBrowser();
}

void BrowCtrl::BtJumpAdd_Click()
{
    const BrowserPlace left = Place();
    state_.BrowserAddress = JumpAddress(EdAdd->text().toStdString(), state_.TilesLength(), BrowserRows(state_).Lines,
                                        BrowserRows(state_).LineTiles, CurrentModeInfo(state_).BytesPerTile);
    ShowAddress(state_.BrowserAddress);
    windows_.Changes.Announce(ChangeKind::BrowserJump);
    RecordJumpFrom(left);
}

void BrowCtrl::ShowTileAt(GraphicsMode mode, std::int32_t address)
{
    if (!state_.FileOpen() || address < 0 ||
        address + static_cast<std::int64_t>(StandardModes[mode].BytesPerTile) > state_.TilesLength())
        return;
    const BrowserPlace left = Place();
    MoveTo({address, mode}, true);
    RecordJumpFrom(left);
}

void BrowCtrl::MoveTo(BrowserPlace place, bool selectTile)
{
    // The mode switch is part of the move, not a jump of its own.
    placing_ = true;
    if (state_.CurrentMode != place.Mode)
        for (int position = 0; position < ModeCount; ++position)
            if (ModeListOrder[position] == place.Mode)
                ComboMode->setCurrentIndex(position);
    placing_ = false;
    const int bytesPerTile = CurrentModeInfo(state_).BytesPerTile;
    const GridPlace grid = GridPlaceFor(place.Address, state_.TilesLength(), state_.BrowserLines,
                                        state_.BrowserColumns, bytesPerTile, state_.BrowserLayout);
    state_.BrowserAddress = grid.Start;
    if (selectTile) {
        state_.BrowserSelX = grid.Column;
        state_.BrowserSelY = grid.Line;
    }
    ShowFineOffset(static_cast<std::uint8_t>(grid.Start % bytesPerTile));
    ShowAddress(state_.BrowserAddress);
    BrowserAddressChanged(windows_);
}

BrowserPlace BrowCtrl::Place() const
{
    return {state_.BrowserAddress, static_cast<GraphicsMode>(state_.CurrentMode)};
}

void BrowCtrl::RecordJumpFrom(BrowserPlace from)
{
    if (state_.FileOpen())
        jumps_.Jumped(from, Place());
}

void BrowCtrl::GoBack()
{
    if (const auto place = jumps_.Back(Place()))
        MoveTo(*place, false);
}

void BrowCtrl::GoForward()
{
    if (const auto place = jumps_.Forward(Place()))
        MoveTo(*place, false);
}


void BrowCtrl::ShowBrowser()
{
    if (state_.FileOpen())
        BringChildForward(windows_.Browser);
    else
        ShowToolNotAvailable();
}

bool BrowCtrl::FileOpen() const
{
    return state_.FileOpen();
}

void BrowCtrl::SetHexAddresses(bool hex)
{
    state_.HexAddresses = hex;
    QSettings settings(ProgramSettingsPath(), QSettings::IniFormat);
    StoreHexAddresses(settings, hex);
    windows_.Changes.Announce(ChangeKind::AddressForm);
}

bool BrowCtrl::HexAddresses() const
{
    return state_.HexAddresses;
}

void BrowCtrl::FocusJumpField()
{
    SetChildVisible(this, true);
    ChildFrame(this)->activateWindow();
    EdAdd->setFocus(Qt::ShortcutFocusReason);
    EdAdd->selectAll();
}

void BrowCtrl::SetLayout(const TileLayout& layout)
{
    state_.BrowserLayout = ValidTileLayout(layout);
    QSettings settings(ProgramSettingsPath(), QSettings::IniFormat);
    StoreBrowserLayout(settings, state_.BrowserLayout);
    ReloadBrowser();
}

const TileLayout& BrowCtrl::Layout() const
{
    return state_.BrowserLayout;
}

void BrowCtrl::ChooseOtherLayout()
{
    if (const std::optional<TileLayout> chosen = AskBlockLayout(this, state_.BrowserLayout))
        SetLayout(*chosen);
}

void BrowCtrl::BtBrowZoomIn_Click()
{
    if (state_.BrowserZoom < MaxBrowserZoom)
        ++state_.BrowserZoom;
    ReloadBrowser();
}

void BrowCtrl::BtBrowZoomOut_Click()
{
    if (state_.BrowserZoom > MinBrowserZoom)
        --state_.BrowserZoom;
    windows_.Changes.Announce(ChangeKind::BrowserSize);
    ReloadBrowser();
}

void BrowCtrl::ToggleGrid()
{
    ChkGrid->setChecked(!ChkGrid->isChecked());
    ChkGrid_Click();
}

void BrowCtrl::ChkGrid_Click()
{
    state_.BrowserGrid = ChkGrid->isChecked();
    windows_.Changes.Announce(ChangeKind::BrowserGrid);
}

void BrowCtrl::BtBookmark_Click()
{
    if (!state_.FileOpen())
        ShowToolNotAvailable();
    else
        windows_.Bookmark->ShowTool();
}

void BrowCtrl::BtFileInfo_Click()
{
    if (!state_.FileOpen()) {
        ShowToolNotAvailable();
    } else {
        windows_.FileInfo->ShowTool();
        windows_.FileInfo->DoReport();
    }
}

void BrowCtrl::ShowToolNotAvailable()
{
    windows_.Dialogs.Message("This tool is not available when no file is opened.", "Tool not available", MsgIcon::None);
}

void BrowCtrl::TakeFocus()
{
    ChildFrame(this)->activateWindow();
    ComboMode->setFocus(Qt::OtherFocusReason);
}

void BrowCtrl::ShowAddress(std::int32_t address)
{
    EdAdd->setText(QString::fromStdString(AddressText(address, state_.HexAddresses)));
    EdAdd->repaint();
}

void BrowCtrl::BtOpenFile_Click()
{
    if (ReadyToOpenAnother())
        OpenRomFile();
}

void BrowCtrl::OpenFileFromDrop(const std::string& path)
{
    if (ReadyToOpenAnother())
        OpenChosenFile(path);
}

bool BrowCtrl::ReadyToOpenAnother()
{
    if (!ConfirmLeavingEdits(state_, windows_))
        return false;
    return !state_.FileOpen() ||
           windows_.Dialogs.AskYesNo("Before you can open a new file you have to close the opened file.\r\r"
                                     "Are you sure you want to close the opened file?",
                                     "Close file?");
}

void BrowCtrl::OpenRomFile()
{
    OpenChosenFile(windows_.Dialogs.OpenFile(RomFilter).Path);
}

void BrowCtrl::OpenChosenFile(const std::string& path)
{
    const OpenRomOutcome outcome = OpenRomInState(state_, path);
    if (!outcome.Problem.empty())
        windows_.Dialogs.Message(outcome.Problem, "Could not open file", MsgIcon::Critical);
    if (!outcome.Notice.empty())
        windows_.Dialogs.Message(outcome.Notice, "Interrupted write", MsgIcon::Information);
    if (outcome.Opened) {
        windows_.Shell.SetInfoText(OpenedInfoText(state_));
        // The view starts at the file's first byte, so the fine offset is 0 too.
        ShowFineOffset(0);
        // Back to the top; the reload below reads the file once.
        windows_.Browser->ScrollBarToTop();
    }
    FileOpened(windows_);
}

void BrowCtrl::BtCloseFile_Click()
{
    if (!state_.FileOpen() || !ConfirmLeavingEdits(state_, windows_))
        return;
    if (!windows_.Dialogs.AskYesNo("Are you sure you want to close the opened file?", "Close file?"))
        return;
    const std::string info = CloseRomInState(state_);
    windows_.Shell.SetInfoText(info);
    FileClosed(windows_);
}

void BrowCtrl::FormClose()
{
    QApplication::quit();
}

void BrowCtrl::ReloadBrowser()
{
    windows_.Changes.Announce(ChangeKind::BrowserView);
}
