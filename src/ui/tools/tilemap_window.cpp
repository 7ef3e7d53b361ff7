#include "ui/tools/tilemap_window.h"

#include "model/codec/stream_codecs.h"
#include "model/codec/stream_view.h"
#include "model/core/confirm_save.h"
#include "model/core/dialogs.h"
#include "model/core/number_text.h"
#include "model/core/pixel_buffer.h"
#include "model/core/program_state.h"
#include "model/editor/editor_slots.h"
#include "model/tilemap/tilemap_edits.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/editor/export_path.h"
#include "ui/floor/child_window.h"
#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "ui/tools/tilemap_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// An address field's value, read like the program's other address fields;
// never below 0.
std::int64_t AddressIn(const QLineEdit& field)
{
    return std::max<std::int64_t>(RoundHalfEven(ReadLenientNumber(field.text().toStdString())), 0);
}

QList<QRgb> ScreenColors(const WorkingPaletteTable& palette)
{
    QList<QRgb> colors;
    colors.reserve(static_cast<qsizetype>(palette.size()));
    for (const PackedColor color : palette)
        colors.push_back(ScreenColor(color));
    return colors;
}

QSpinBox* SpinBox(int low, int high, int value, const char* name, const char* toolTip)
{
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setValue(value);
    box->setToolTip(QString::fromLatin1(toolTip));
    return box;
}

QPushButton* Button(const char* caption, const char* name, const char* toolTip)
{
    auto* button = new QPushButton(QString::fromLatin1(caption));
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(toolTip));
    return button;
}

}  // namespace

TilemapWindow::TilemapWindow(ProgramState& state, Windows& windows, QWidget* parent)
    : QWidget(parent), state_(state), windows_(windows)
{
    setObjectName(QStringLiteral("Tilemap"));
    setWindowTitle(QStringLiteral("Tilemap"));
    View = new TilemapView;
    auto* scroll = new QScrollArea;
    scroll->setWidget(View);
    scroll->setMinimumSize(240, 120);
    LbStatus = new QLabel;
    LbStatus->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildMapFields());
    layout->addWidget(scroll, 1);
    layout->addWidget(BuildEntryFields());
    layout->addWidget(LbStatus);

    connect(View, &TilemapView::EntryClicked, this, &TilemapWindow::SelectEntry);
    ProposeTileMode();
    FollowFormat();

    ChangeBoard& changes = windows_.Changes;
    for (ChangeKind kind : {ChangeKind::RomBytes, ChangeKind::TilesSource})
        changes.Subscribe(kind, [this](const Change&) { Reread(); });
    changes.Subscribe(ChangeKind::Palette, [this](const Change&) { View->SetColors(ScreenColors(state_.WorkingPalette)); });
    for (ChangeKind kind : {ChangeKind::FileOpened, ChangeKind::FileClosed})
        changes.Subscribe(kind, [this](const Change&) { Clear(); });
}

TilemapWindow::~TilemapWindow() = default;

QWidget* TilemapWindow::BuildMapFields()
{
    EdMapAddress = new QLineEdit(QStringLiteral("0"));
    EdMapAddress->setObjectName(QStringLiteral("EdMapAddress"));
    EdMapAddress->setToolTip(QStringLiteral("Where the map's first entry lies, decimal or 0x hexadecimal"));
    ComboMapSource = new QComboBox;
    ComboMapSource->setObjectName(QStringLiteral("ComboMapSource"));
    ComboMapSource->addItem(QStringLiteral("Uncompressed"));
    for (const StreamCodec* codec : StreamCodecs())
        ComboMapSource->addItem(QString::fromLatin1(codec->Name) + QStringLiteral(" stream"));
    ComboMapSource->setToolTip(
        QStringLiteral("A compressed map: the address is the stream's, the map its first unpacked bytes"));
    SpinWidth = SpinBox(1, MaxTilemapSide, 32, "SpinWidth", "Entries a row");
    SpinHeight = SpinBox(1, MaxTilemapSide, 32, "SpinHeight", "Rows of entries");
    ComboFormat = new QComboBox;
    ComboFormat->setObjectName(QStringLiteral("ComboFormat"));
    for (const TilemapFormatInfo& format : TilemapFormats())
        ComboFormat->addItem(QString::fromLatin1(format.Name.data(), static_cast<qsizetype>(format.Name.size())));
    ChkSigned = new QCheckBox(QStringLiteral("Signed tile numbers"));
    ChkSigned->setObjectName(QStringLiteral("ChkSigned"));
    ChkSigned->setToolTip(QStringLiteral("Tile numbers -128 to 127 around the tiles' address (Game Boy 0x8800 mode)"));
    EdTilesAddress = new QLineEdit(QStringLiteral("0"));
    EdTilesAddress->setObjectName(QStringLiteral("EdTilesAddress"));
    EdTilesAddress->setToolTip(QStringLiteral("Where tile 0 lies in what the browser shows"));
    ComboTileMode = new QComboBox;
    ComboTileMode->setObjectName(QStringLiteral("ComboTileMode"));
    for (const GraphicsMode mode : ModeListOrder)
        ComboTileMode->addItem(QString::fromLatin1(StandardModes[mode].Name.data(),
                                                   static_cast<qsizetype>(StandardModes[mode].Name.size())));
    SpinPaletteRow = SpinBox(0, 255, 0, "SpinPaletteRow",
                             "The row of the working palette (2^bpp colors a row) that palette number 0 picks");
    SpinZoom = SpinBox(1, 8, 2, "SpinZoom", "Screen pixels per map pixel");
    BtShow = Button("Show", "BtShowMap", "Read the map and draw it");
    BtShow->setDefault(true);
    BtMapHere = Button("Map at browser", "BtMapHere", "Take the browser's address as the map's");
    BtTilesHere = Button("Tiles at browser", "BtTilesHere", "Take the browser's address and mode for the tiles");
    BtExport = Button("Export PNG...", "BtExportMap", "Write the drawn map to an indexed PNG file");

    auto* box = new QGroupBox(QStringLiteral("Map"));
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("Map at:")), 0, 0);
    grid->addWidget(EdMapAddress, 0, 1);
    grid->addWidget(ComboMapSource, 0, 2);
    grid->addWidget(BtMapHere, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Entries:")), 1, 0);
    auto* size = new QHBoxLayout;
    size->addWidget(SpinWidth);
    size->addWidget(new QLabel(QStringLiteral("x")));
    size->addWidget(SpinHeight);
    grid->addLayout(size, 1, 1);
    grid->addWidget(ComboFormat, 1, 2);
    grid->addWidget(ChkSigned, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Tiles at:")), 2, 0);
    grid->addWidget(EdTilesAddress, 2, 1);
    grid->addWidget(ComboTileMode, 2, 2);
    grid->addWidget(BtTilesHere, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("Palette row:")), 3, 0);
    grid->addWidget(SpinPaletteRow, 3, 1);
    auto* zoom = new QHBoxLayout;
    zoom->addWidget(new QLabel(QStringLiteral("Zoom:")));
    zoom->addWidget(SpinZoom);
    grid->addLayout(zoom, 3, 2);
    grid->addWidget(BtShow, 3, 3);
    grid->addWidget(BtExport, 4, 3);

    connect(BtShow, &QPushButton::clicked, this, &TilemapWindow::BtShow_Click);
    connect(EdMapAddress, &QLineEdit::returnPressed, this, &TilemapWindow::BtShow_Click);
    connect(EdTilesAddress, &QLineEdit::returnPressed, this, &TilemapWindow::BtShow_Click);
    connect(BtMapHere, &QPushButton::clicked, this, &TilemapWindow::BtMapHere_Click);
    connect(BtTilesHere, &QPushButton::clicked, this, &TilemapWindow::BtTilesHere_Click);
    connect(BtExport, &QPushButton::clicked, this, &TilemapWindow::BtExport_Click);
    connect(ComboFormat, &QComboBox::currentIndexChanged, this, [this] {
        ProposeTileMode();
        Reread();
    });
    connect(SpinZoom, &QSpinBox::valueChanged, View, &TilemapView::SetZoom);
    for (QSpinBox* box : {SpinWidth, SpinHeight, SpinPaletteRow})
        connect(box, &QSpinBox::valueChanged, this, &TilemapWindow::Reread);
    for (QComboBox* combo : {ComboMapSource, ComboTileMode})
        connect(combo, &QComboBox::currentIndexChanged, this, &TilemapWindow::Reread);
    connect(ChkSigned, &QCheckBox::toggled, this, &TilemapWindow::Reread);
    return box;
}

QWidget* TilemapWindow::BuildEntryFields()
{
    LbEntry = new QLabel(QStringLiteral("Click an entry of the map."));
    LbEntry->setObjectName(QStringLiteral("LbEntry"));
    SpinTile = SpinBox(0, 2047, 0, "SpinTile", "The tile the entry names");
    SpinPalette = SpinBox(0, 15, 0, "SpinPalette", "The entry's palette number");
    ChkFlipX = new QCheckBox(QStringLiteral("Flip X"));
    ChkFlipX->setObjectName(QStringLiteral("ChkFlipX"));
    ChkFlipY = new QCheckBox(QStringLiteral("Flip Y"));
    ChkFlipY->setObjectName(QStringLiteral("ChkFlipY"));
    ChkPriority = new QCheckBox(QStringLiteral("Priority"));
    ChkPriority->setObjectName(QStringLiteral("ChkPriority"));
    BtApply = Button("Apply", "BtApplyEntry", "Write the entry's fields into the file");
    BtPlaceTile = Button("Place selected tile", "BtPlaceTile", "Make the entry name the browser's selected tile");

    auto* box = new QGroupBox(QStringLiteral("Entry"));
    auto* grid = new QGridLayout(box);
    grid->addWidget(LbEntry, 0, 0, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Tile:")), 1, 0);
    grid->addWidget(SpinTile, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Palette:")), 1, 2);
    grid->addWidget(SpinPalette, 1, 3);
    grid->addWidget(ChkFlipX, 2, 0);
    grid->addWidget(ChkFlipY, 2, 1);
    grid->addWidget(ChkPriority, 2, 2);
    grid->addWidget(BtApply, 2, 3);
    grid->addWidget(BtPlaceTile, 2, 4);
    connect(BtApply, &QPushButton::clicked, this, &TilemapWindow::BtApply_Click);
    connect(BtPlaceTile, &QPushButton::clicked, this, &TilemapWindow::BtPlaceTile_Click);
    return box;
}

void TilemapWindow::FollowFormat()
{
    const TilemapFormatInfo& format = TilemapFormats()[static_cast<std::size_t>(std::max(ComboFormat->currentIndex(), 0))];
    ChkSigned->setEnabled(format.Format == TilemapFormat::GameBoy);
    const TilemapShape shape = ShapeFromFields();
    SpinTile->setRange(SmallestTileNumber(shape), LargestTileNumber(shape));
    SpinPalette->setRange(0, format.MaxPalette);
    SpinPalette->setEnabled(format.MaxPalette > 0);
    ChkFlipX->setEnabled(format.HasFlips);
    ChkFlipY->setEnabled(format.HasFlips);
    ChkPriority->setEnabled(format.HasPriority);
}

void TilemapWindow::ProposeTileMode()
{
    const GraphicsMode mode =
        TilemapFormats()[static_cast<std::size_t>(std::max(ComboFormat->currentIndex(), 0))].TypicalMode;
    const auto position = std::find(ModeListOrder.begin(), ModeListOrder.end(), mode) - ModeListOrder.begin();
    const QSignalBlocker blocker(ComboTileMode);
    ComboTileMode->setCurrentIndex(static_cast<int>(position));
}

TilemapShape TilemapWindow::ShapeFromFields() const
{
    TilemapShape shape;
    shape.Format = TilemapFormats()[static_cast<std::size_t>(std::max(ComboFormat->currentIndex(), 0))].Format;
    // A compressed map starts at the stream's first unpacked byte.
    shape.MapAddress = ComboMapSource->currentIndex() > 0 ? 0 : AddressIn(*EdMapAddress);
    shape.Width = SpinWidth->value();
    shape.Height = SpinHeight->value();
    shape.SignedTiles = ChkSigned->isChecked() && shape.Format == TilemapFormat::GameBoy;
    shape.TilesAddress = AddressIn(*EdTilesAddress);
    shape.TileMode = ModeListOrder[static_cast<std::size_t>(std::max(ComboTileMode->currentIndex(), 0))];
    shape.PaletteBase = SpinPaletteRow->value();
    return shape;
}

void TilemapWindow::ShowWindow()
{
    if (!state_.FileOpen()) {
        windows_.BrowCtrl->ShowToolNotAvailable();
        return;
    }
    SetChildVisible(this, true);
    if (QWidget* frame = ChildFrame(this); frame != this) {
        // Inside the main window's working area, however large it was left.
        if (const QWidget* area = frame->parentWidget()) {
            const QSize size = frame->size().boundedTo(area->size());
            const QPoint corner(std::clamp(frame->x(), 0, area->width() - size.width()),
                                std::clamp(frame->y(), 0, area->height() - size.height()));
            frame->setGeometry(QRect(corner, size));
        }
        frame->raise();
    }
    activateWindow();
}

TileStore* TilemapWindow::MapStore(std::string& reason)
{
    const int codec = ComboMapSource->currentIndex() - 1;
    if (codec < 0) {
        mapStream_.reset();
        return &state_.FileHandle;
    }
    mapStream_ = StreamView::Open(state_.FileHandle, codec, AddressIn(*EdMapAddress), {}, reason);
    return mapStream_.get();
}

void TilemapWindow::BtShow_Click()
{
    if (!state_.FileOpen()) {
        ShowStatus("Open a file first: the map is read from the open file.");
        return;
    }
    std::string reason;
    const TileStore* store = MapStore(reason);
    if (!store) {
        Clear();
        ShowStatus("The map's stream does not unpack: " + reason);
        return;
    }
    const TilemapShape shape = ShapeFromFields();
    if (shape.MapAddress + TilemapByteCount(shape) > store->Length()) {
        Clear();
        ShowStatus("A map of " + std::to_string(shape.Width) + " x " + std::to_string(shape.Height) + " entries at " +
                   HexText(shape.MapAddress) + " takes " + std::to_string(TilemapByteCount(shape)) +
                   " bytes and reaches past the end of the " + (mapStream_ ? "stream" : "file") + " (" +
                   std::to_string(store->Length()) + " bytes).");
        return;
    }
    map_ = ReadTilemap(shape, *store, state_.Tiles());
    shown_ = true;
    if (selected_ >= shape.Width * shape.Height)
        selected_ = -1;
    Redraw();
    ShowStatus(std::to_string(shape.Width) + " x " + std::to_string(shape.Height) + " entries at " +
               HexText(AddressIn(*EdMapAddress)) + (mapStream_ ? " (stream)" : "") + ", tiles at " +
               HexText(shape.TilesAddress) + " in " + std::string(StandardModes[shape.TileMode].Name) + " mode.");
}

void TilemapWindow::Reread()
{
    FollowFormat();
    if (shown_)
        BtShow_Click();
}

void TilemapWindow::Redraw()
{
    const TilemapShape& shape = map_.Shape;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(shape.Width) * 8 * static_cast<std::size_t>(shape.Height) * 8);
    RenderTilemap(map_, indices.data());
    View->SetPicture(indices, shape.Width * 8, shape.Height * 8, ScreenColors(state_.WorkingPalette));
    View->SetSelected(selected_ < 0 ? -1 : selected_ % shape.Width, selected_ < 0 ? -1 : selected_ / shape.Width);
    ShowEntryFields();
}

void TilemapWindow::ShowEntryFields()
{
    const bool any = shown_ && selected_ >= 0;
    BtApply->setEnabled(any);
    BtPlaceTile->setEnabled(any);
    if (!any) {
        LbEntry->setText(QStringLiteral("Click an entry of the map."));
        return;
    }
    const TilemapEntry& entry = map_.Entries[static_cast<std::size_t>(selected_)];
    const TilemapShape& shape = map_.Shape;
    const std::int64_t entryAddress = shape.MapAddress + std::int64_t{selected_} * FormatInfo(shape.Format).EntryBytes;
    LbEntry->setText(Text("Entry " + std::to_string(selected_ % shape.Width) + ", " +
                          std::to_string(selected_ / shape.Width) + " at " + HexText(entryAddress) +
                          (mapStream_ ? " in the stream" : "") + ": tile " + std::to_string(entry.Tile) + " at " +
                          HexText(EntryTileAddress(shape, entry.Tile))));
    SpinTile->setValue(entry.Tile);
    SpinPalette->setValue(entry.Palette);
    ChkFlipX->setChecked(entry.FlipX);
    ChkFlipY->setChecked(entry.FlipY);
    ChkPriority->setChecked(entry.Priority);
}

void TilemapWindow::SelectEntry(int column, int line)
{
    if (!shown_ || column < 0 || line < 0 || column >= map_.Shape.Width || line >= map_.Shape.Height)
        return;
    selected_ = line * map_.Shape.Width + column;
    View->SetSelected(column, line);
    ShowEntryFields();
    // The entry's tile as stored goes to the editor's cursor cell; the map
    // shows it flipped, the cell as it is in the file.
    const TilemapEntry& entry = map_.Entries[static_cast<std::size_t>(selected_)];
    const std::int64_t address = EntryTileAddress(map_.Shape, entry.Tile);
    if (address < 0 || address > INT32_MAX)
        return;
    const int slot = CursorSlot(state_);
    RecordStep(state_.Recorder, "copy of a tile", [&] {
        ClearSlot(state_.EditorSlots, slot);
        LoadSlot(state_, windows_.Dialogs, static_cast<std::int32_t>(address), slot, map_.Shape.TileMode);
    });
    CellsChanged(windows_, {slot});
}

void TilemapWindow::WriteEntry(const TilemapEntry& entry, const std::string& stepName)
{
    // The same question and refusals as every other write into the file.
    if (!ConfirmSave(state_, windows_.Dialogs))
        return;
    std::string reason;
    TileStore* store = MapStore(reason);
    if (!store) {
        windows_.Dialogs.Message("The map's stream does not unpack: " + reason, "Tilemap", MsgIcon::Critical);
        return;
    }
    std::optional<std::string> problem;
    RecordStep(state_.Recorder, stepName, [&] {
        problem = WriteTilemapEntry(*store, map_.Shape, map_.MapBytes, selected_, entry);
    });
    if (problem) {
        windows_.Dialogs.Message(*problem, "Tilemap", MsgIcon::Critical);
        return;
    }
    RomBytesChanged(windows_);
}

void TilemapWindow::BtApply_Click()
{
    if (!shown_ || selected_ < 0)
        return;
    TilemapEntry entry = map_.Entries[static_cast<std::size_t>(selected_)];
    entry.Tile = SpinTile->value();
    entry.Palette = SpinPalette->value();
    entry.FlipX = ChkFlipX->isChecked();
    entry.FlipY = ChkFlipY->isChecked();
    entry.Priority = ChkPriority->isChecked();
    WriteEntry(entry, "tilemap entry");
}

void TilemapWindow::BtPlaceTile_Click()
{
    if (!shown_ || selected_ < 0)
        return;
    const std::optional<int> tile = TileNumberFor(map_.Shape, SelectedTileAddress(state_));
    if (!tile) {
        windows_.Dialogs.Message("The browser's selected tile at " + HexText(SelectedTileAddress(state_)) +
                                     " is no tile an entry can name: the map's tiles start at " +
                                     HexText(map_.Shape.TilesAddress) + " and are " +
                                     std::to_string(StandardModes[map_.Shape.TileMode].BytesPerTile) +
                                     " bytes each.",
                                 "Tilemap", MsgIcon::Critical);
        return;
    }
    TilemapEntry entry = map_.Entries[static_cast<std::size_t>(selected_)];
    entry.Tile = *tile;
    WriteEntry(entry, "tilemap tile");
}

void TilemapWindow::BtMapHere_Click()
{
    ComboMapSource->setCurrentIndex(0);
    EdMapAddress->setText(Text(HexText(state_.BrowserAddress)));
    BtShow_Click();
}

void TilemapWindow::BtTilesHere_Click()
{
    EdTilesAddress->setText(Text(HexText(state_.BrowserAddress)));
    for (std::size_t position = 0; position < ModeListOrder.size(); ++position)
        if (ModeListOrder[position] == state_.CurrentMode)
            ComboTileMode->setCurrentIndex(static_cast<int>(position));
    BtShow_Click();
}

void TilemapWindow::BtExport_Click()
{
    if (!shown_) {
        windows_.Dialogs.Message("Show a map first: the export writes the map drawn.", "Tilemap",
                                 MsgIcon::Information);
        return;
    }
    const std::string path = ChooseExportPath(windows_.Dialogs, "PNG image (*.png)|*.png");
    if (path.empty())
        return;
    if (const std::optional<std::string> problem = WriteIndexedPng(path, TilemapPicture(map_, state_.WorkingPalette)))
        windows_.Dialogs.Message("Could not save the PNG file '" + path + "': " + *problem + ".", "Saving failed",
                                 MsgIcon::Critical);
}

void TilemapWindow::ShowStatus(const std::string& text)
{
    LbStatus->setText(Text(text));
}

void TilemapWindow::Clear()
{
    shown_ = false;
    selected_ = -1;
    map_ = {};
    mapStream_.reset();
    View->SetPicture({}, 0, 0, {});
    View->SetSelected(-1, -1);
    ShowEntryFields();
}
