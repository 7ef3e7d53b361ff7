#include "ui/editor/tile_ctrl.h"

#include "model/core/dialogs.h"
#include "model/core/number_text.h"
#include "model/core/program_state.h"
#include "model/core/tile_io.h"
#include "model/editor/cell_writes.h"
#include "model/editor/editor_slots.h"
#include "model/editor/recorded_edits.h"
#include "ui/floor/icons.h"
#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

const char* const NotAvailable = "n/a";

}  // namespace

TileCtrl::TileCtrl(ProgramState& state, Windows& windows, QWidget* parent)
    : QWidget(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Tile Tool"));

    BtFlipX = MakePictureButton(IconKind::TileFlipX, "Horizantally flip the selected tile");
    BtFlipY = MakePictureButton(IconKind::TileFlipY, "Vertically flip the selected tile");
    BtRotate = MakePictureButton(IconKind::TileRotate, "Rotate the selected tile");
    BtDeleteSprite = MakePictureButton(IconKind::TileClear, "Clear the selected tile");
    SaveTile = MakePictureButton(IconKind::TileSave, "Save the selected tile to file");
    BtReloadTile = MakePictureButton(IconKind::TileReload, "Reload the selected tile to file");
    BtCopyToAddress = MakePictureButton(IconKind::TileCopyToAddress, "Copy selected tile to the address beneath");
    BtCopySelTile =
        MakePictureButton(IconKind::TileCopyToSelection, "Copy selected tile to the selected position in the browser");
    EdAdd = new QLineEdit;
    LbHex = new QLabel;
    LbCellMode = new QLabel;
    LbCellMode->setToolTip(QStringLiteral("The tile was read in this mode and is saved back in it"));
    // The line keeps its room while empty, so the window does not change size.
    LbCellMode->setMinimumHeight(LbCellMode->fontMetrics().height());

    auto* tileRow = new QHBoxLayout;
    for (QToolButton* button : {BtFlipX, BtFlipY, BtRotate, BtDeleteSprite, SaveTile, BtReloadTile})
        tileRow->addWidget(button);
    tileRow->addStretch();
    auto* addressRow = new QGridLayout;
    addressRow->addWidget(EdAdd, 0, 0);
    addressRow->addWidget(BtCopyToAddress, 0, 1);
    addressRow->addWidget(BtCopySelTile, 0, 2);
    addressRow->addWidget(LbHex, 1, 0, 1, 3);
    addressRow->addWidget(LbCellMode, 2, 0, 1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(tileRow);
    layout->addLayout(addressRow);

    connect(BtFlipX, &QToolButton::clicked, this, &TileCtrl::BtFlipX_Click);
    connect(BtFlipY, &QToolButton::clicked, this, &TileCtrl::BtFlipY_Click);
    connect(BtRotate, &QToolButton::clicked, this, &TileCtrl::BtRotate_Click);
    connect(BtDeleteSprite, &QToolButton::clicked, this, &TileCtrl::BtDeleteSprite_Click);
    connect(SaveTile, &QToolButton::clicked, this, &TileCtrl::SaveTile_Click);
    connect(BtReloadTile, &QToolButton::clicked, this, &TileCtrl::BtReloadTile_Click);
    connect(BtCopyToAddress, &QToolButton::clicked, this, &TileCtrl::BtCopyToAddress_Click);
    connect(BtCopySelTile, &QToolButton::clicked, this, &TileCtrl::BtCopySelTile_Click);
    connect(EdAdd, &QLineEdit::textChanged, this, &TileCtrl::EdAdd_Change);

    LoadTile(-1);

    // The mode line follows the cell the tool holds.
    for (ChangeKind kind : {ChangeKind::Palette, ChangeKind::Cells, ChangeKind::CellAddresses, ChangeKind::AllCells,
                            ChangeKind::RomBytes, ChangeKind::Mode})
        windows_.Changes.Subscribe(kind, [this](const Change&) { ShowCellMode(); });
    for (ChangeKind kind : {ChangeKind::FileOpened, ChangeKind::TilesSource})
        windows_.Changes.Subscribe(kind, [this](const Change&) { LoadTile(-1); });
    // The address in the field, in the form addresses show in now.
    windows_.Changes.Subscribe(ChangeKind::AddressForm, [this](const Change&) {
        const std::string text = EdAdd->text().toStdString();
        if (text != NotAvailable && !text.empty())
            SetFieldText(AddressText(RoundHalfEven(ReadLenientNumber(text)), state_.HexAddresses));
    });
}

void TileCtrl::LoadTile(int n)
{
    toolSlot_ = n >= 0 && n < EditorSlotCount ? n : -1;
    toolAddress_ = toolSlot_ < 0 ? EmptySlot : state_.EditorSlots[toolSlot_].Address;

    const bool hasTile = toolAddress_ >= UnboundTile;
    // An unbound cell's number is shown for a moment only: the change
    // handling turns it into "n/a" at once.
    SetFieldText(!hasTile                ? std::string(NotAvailable)
                 : toolAddress_ < 0      ? std::to_string(toolAddress_)
                                         : AddressText(toolAddress_, state_.HexAddresses));
    EdAdd_Change();
    for (QWidget* control : std::initializer_list<QWidget*>{BtFlipX, BtFlipY, BtRotate, BtDeleteSprite, SaveTile,
                                                            BtReloadTile, BtCopyToAddress, BtCopySelTile, EdAdd})
        control->setEnabled(hasTile);
    ShowCellMode();
}

void TileCtrl::ShowCellMode()
{
    QString text;
    if (toolSlot_ >= 0) {
        const EditorSlot& cell = state_.EditorSlots[toolSlot_];
        const std::uint8_t mode = SaveModeOf(cell, state_.CurrentMode);
        if (cell.Address >= 0 && mode != state_.CurrentMode) {
            const std::string_view name = StandardModes[mode].Name;
            text = QStringLiteral("Read as ") + QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        }
    }
    LbCellMode->setText(text);
}

void TileCtrl::SetFieldText(const std::string& text)
{
    settingField_ = true;
    EdAdd->setText(QString::fromStdString(text));
    settingField_ = false;
}

void TileCtrl::EdAdd_Change()
{
    if (settingField_)
        return;
    if (toolAddress_ < 0)
        SetFieldText(NotAvailable);
    std::string text = EdAdd->text().toStdString();
    if (text == NotAvailable) {
        LbHex->setText(QString::fromLatin1(NotAvailable));
        return;
    }
    // The field never names an address whose tile would run past the end.
    const std::int32_t lastAddress = state_.TilesLength() - CurrentModeInfo(state_).BytesPerTile;
    if (ReadLenientNumber(text) > lastAddress) {
        text = AddressText(lastAddress, state_.HexAddresses);
        SetFieldText(text);
    }
    const std::int32_t shown = text.empty() ? 0 : RoundHalfEven(ReadLenientNumber(text));
    LbHex->setText(QString::fromStdString(FormatHex(shown)));
}

void TileCtrl::ShowTransformedTile(bool redrawAll)
{
    std::vector<int> cells = SyncTwins(state_.EditorSlots, toolSlot_);
    cells.insert(cells.begin(), toolSlot_);
    Change change{ChangeKind::CellTransformed, cells};
    change.RedrawAll = redrawAll;
    windows_.Changes.Announce(change);
}

void TileCtrl::TransformToolTile(const char* name, void (*transform)(TilePixels&), bool redrawAll)
{
    if (toolSlot_ < 0)
        return;
    // The twins take the new pixels inside the same step, so one undo puts
    // them all back.
    RecordStep(state_.Recorder, name, [&] {
        EditorSlot& cell = state_.EditorSlots[toolSlot_];
        transform(cell.Pixels);
        cell.Edited = true;
        ShowTransformedTile(redrawAll);
    });
}

void TileCtrl::BtFlipX_Click()
{
    TransformToolTile("flip", FlipTileX, true);
}

void TileCtrl::BtFlipY_Click()
{
    TransformToolTile("mirror", FlipTileY, true);
}

void TileCtrl::BtRotate_Click()
{
    TransformToolTile("rotate", RotateTile, false);
}

void TileCtrl::BtDeleteSprite_Click()
{
    if (toolSlot_ < 0)
        return;
    const int slot = toolSlot_;
    RecordStep(state_.Recorder, "clear", [&] { ClearSlot(state_.EditorSlots, slot); });
    LoadTile(-1);
    CellsChanged(windows_, {slot});
}

CellWriteResult TileCtrl::WriteToolTile(std::int64_t address, std::uint8_t mode)
{
    const CellWriteResult result = WriteCellToAsStep(state_, windows_.Dialogs, toolSlot_, address, mode);
    ShowReport(windows_, result.Report);
    return result;
}

void TileCtrl::SaveTile_Click()
{
    if (toolSlot_ < 0)
        return;
    // The cell's own address and the mode it was read in count, not the
    // number in the field. A tile that ends exactly at the end of the file
    // is inside it.
    // A cell outside the file is left alone without a word.
    const EditorSlot& cell = state_.EditorSlots[toolSlot_];
    const std::uint8_t mode = SaveModeOf(cell, state_.CurrentMode);
    if (CellInShownTiles(state_, cell))
        WriteToolTile(cell.Address, mode);
    RomBytesChanged(windows_);
}

void TileCtrl::BtReloadTile_Click()
{
    if (toolSlot_ < 0 ||
        !RecordStep(state_.Recorder, "reload", [&] { return ReloadSlot(state_, toolSlot_, toolAddress_); }))
        return;
    CellsChanged(windows_, {toolSlot_});
}

void TileCtrl::BtCopyToAddress_Click()
{
    if (toolSlot_ < 0)
        return;
    const std::string text = EdAdd->text().toStdString();
    if (text != NotAvailable) {
        const std::int32_t address = RoundHalfEven(ReadLenientNumber(text));
        if (address >= 0)
            WriteToolTile(address, state_.CurrentMode);
    }
    RomBytesChanged(windows_);
}

void TileCtrl::BtCopySelTile_Click()
{
    if (toolSlot_ < 0)
        return;
    if (WriteToolTile(SelectedTileAddress(state_), state_.CurrentMode).Confirmed())
        RomBytesChanged(windows_);
}
