#include "ui/palette/color_set.h"

#include "model/core/confirm_save.h"
#include "model/core/dialogs.h"
#include "model/core/number_text.h"
#include "model/core/program_state.h"
#include "model/core/rom_file.h"
#include "model/core/write_messages.h"
#include "model/palette/palette_files.h"
#include "model/palette/palette_formats.h"
#include "model/palette/palette_transfer.h"
#include "model/palette/color_set_edits.h"
#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "ui/palette/color_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <chrono>

ColorSetPreview::ColorSetPreview(QWidget* parent) : QWidget(parent), image_(Side, Side, QImage::Format_RGB32)
{
    image_.fill(Qt::black);
    setFixedSize(Side, Side);
}

void ColorSetPreview::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

void ColorSetPreview::mousePressEvent(QMouseEvent* event)
{
    emit Pressed(event->position().toPoint());
}

ColorSet::ColorSet(ProgramState& state, Windows& windows, QWidget* parent)
    : ToolWindow(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Color Set"));

    ListSets = new QListWidget;
    ListSets->setToolTip(QStringLiteral("Here the color sets are listed"));
    TextName = new QLineEdit;
    TextName->setToolTip(QStringLiteral("This is the description of the selected color set"));
    TextName->installEventFilter(this);
    ImCol = new ColorSetPreview;
    BtAddSet = MakeTextButton("Add", "Add the editor's color set to the list");
    BtApplySet = MakeTextButton("Apply", "Apply the selected color set the current set to the browser");
    BtDelSet = MakeTextButton("Delete", "Delete the selected set");
    BtRandomPal = MakeTextButton("Random Palette", nullptr);
    BtColorSetLoad = MakeTextButton("Load", "Load the color sets from file");
    BtColorSetSave = MakeTextButton("Save", "Save the color sets to file");

    ComboPalMode = new QComboBox;
    ComboPalMode->setToolTip(QStringLiteral("Selected the type of palette to load/save"));
    for (const PaletteFormat& format : PaletteFormats)
        ComboPalMode->addItem(QString::fromLatin1(format.FormatName.data(), format.FormatName.size()));
    ComboNumCol = new QComboBox;
    ComboNumCol->setToolTip(QStringLiteral("Select how many colors you want to load or save"));
    for (int count : PaletteColorCounts)
        ComboNumCol->addItem(QString::number(count));
    ComboNumCol->setCurrentText(QStringLiteral("16"));
    EdPalAdd = new QComboBox;
    EdPalAdd->setEditable(true);
    EdPalAdd->setToolTip(
        QStringLiteral("Enter a color palette's address or select one after successfully searching for one"));
    EdPalAdd->setEditText(QStringLiteral("0"));
    BtPalIn = MakeTextButton("Import", "Load a palette from the given address as a palette");
    BtPalOut = MakeTextButton("Export", "Save the selected palette to the given address");

    auto* setButtons = new QGridLayout;
    setButtons->addWidget(BtAddSet, 0, 0);
    setButtons->addWidget(BtApplySet, 0, 1);
    setButtons->addWidget(BtDelSet, 1, 0);
    setButtons->addWidget(BtRandomPal, 1, 1);
    setButtons->addWidget(BtColorSetLoad, 2, 0);
    setButtons->addWidget(BtColorSetSave, 2, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(ImCol);
    right->addLayout(setButtons);
    right->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(ListSets);
    left->addWidget(TextName);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);

    auto* transfer = new QGroupBox(QStringLiteral("Palette Import/Export"));
    auto* transferLayout = new QGridLayout(transfer);
    transferLayout->addWidget(ComboPalMode, 0, 0, 1, 2);
    transferLayout->addWidget(ComboNumCol, 0, 2);
    transferLayout->addWidget(EdPalAdd, 1, 0);
    transferLayout->addWidget(BtPalIn, 1, 1);
    transferLayout->addWidget(BtPalOut, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(transfer);

    connect(ListSets, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < state_.Sets.SetCount) {
            state_.Sets.SelectedSet = static_cast<std::uint8_t>(row);
            DrawSelectedSet();
        }
    });
    connect(ListSets, &QListWidget::itemDoubleClicked, this, &ColorSet::BtApplySet_Click);
    connect(ImCol, &ColorSetPreview::Pressed, this, &ColorSet::ImCol_MouseDown);
    connect(BtAddSet, &QPushButton::clicked, this, &ColorSet::BtAddSet_Click);
    connect(BtApplySet, &QPushButton::clicked, this, &ColorSet::BtApplySet_Click);
    connect(BtDelSet, &QPushButton::clicked, this, &ColorSet::BtDelSet_Click);
    connect(BtRandomPal, &QPushButton::clicked, this, &ColorSet::BtRandomPal_Click);
    connect(BtColorSetLoad, &QPushButton::clicked, this, &ColorSet::BtColorSetLoad_Click);
    connect(BtColorSetSave, &QPushButton::clicked, this, &ColorSet::BtColorSetSave_Click);
    connect(BtPalIn, &QPushButton::clicked, this, &ColorSet::BtPalIn_Click);
    connect(BtPalOut, &QPushButton::clicked, this, &ColorSet::BtPalOut_Click);
    RefreshSetList();
    windows_.Changes.Subscribe(ChangeKind::ColorSets, [this](const Change&) { DrawSelectedSet(); });
}

void ColorSet::RefreshSetList()
{
    const QSignalBlocker blocker(ListSets);
    ListSets->clear();
    for (int i = 0; i < state_.Sets.SetCount; ++i)
        ListSets->addItem(QString::fromLatin1(state_.Sets.ColorSets[i].Description.c_str()));
    if (state_.Sets.SelectedSet < state_.Sets.SetCount)
        ListSets->setCurrentRow(state_.Sets.SelectedSet);
    DrawSelectedSet();
}

void ColorSet::DrawSelectedSet()
{
    if (state_.Sets.SetCount == 0)
        return;
    const ColorSetEntry& entry = state_.Sets.ColorSets[state_.Sets.SelectedSet];
    const int cell = ColorSetPreview::Side / 16;
    QPainter painter(&ImCol->Image());
    for (int i = 0; i < 256; ++i) {
        const PackedColor color = entry.Colors[i];
        painter.fillRect((i % 16) * cell, (i / 16) * cell, cell, cell,
                         QColor(RedOf(color), GreenOf(color), BlueOf(color)));
    }
    painter.end();
    ImCol->update();
    TextName->setText(QString::fromLatin1(entry.Description.c_str()));
}

void ColorSet::BtAddSet_Click()
{
    const std::string name = TextName->text().toLatin1().toStdString();
    if (AddSetAsStep(state_, "add color set", state_.WorkingPalette, name.empty() ? "No description" : name))
        RefreshSetList();
}

void ColorSet::BtApplySet_Click()
{
    RecordStep(state_.Recorder, "color set",
               [&] { state_.WorkingPalette = state_.Sets.ColorSets[state_.Sets.SelectedSet].Colors; });
    PaletteChanged(windows_);
}

void ColorSet::BtDelSet_Click()
{
    if (state_.Sets.SetCount == 0)
        return;
    DeleteSelectedSetAsStep(state_);
    RefreshSetList();
}

void ColorSet::BtRandomPal_Click()
{
    std::mt19937 random(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
    if (AddSetAsStep(state_, "random palette", RandomColors(random), "Random palette"))
        RefreshSetList();
}

void ColorSet::ImCol_MouseDown(QPoint point)
{
    if (state_.Sets.SetCount == 0)
        return;
    HoldOpen = true;
    const int cell = ColorSetPreview::Side / 16;
    const int column = std::clamp(point.x() / cell, 0, 15);
    const int row = std::clamp(point.y() / cell, 0, 15);
    const int index = column + row * 16;
    ColorDialog* dialog = windows_.ColorDialog;
    dialog->SetColor(state_.Sets.SelectedSet, index, state_.Sets.ColorSets[state_.Sets.SelectedSet].Colors[index]);
    // 75 twips right of and 300 twips below this window's corner.
    dialog->move(frameGeometry().topLeft() + QPoint(5, 20));
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void ColorSet::BtColorSetLoad_Click()
{
    Dialogs& dialogs = windows_.Dialogs;
    const OwnDialogScope open(*this);
    const FileChoice choice = dialogs.OpenFile(PaletteLoadFilter());
    if (choice.Path.empty())
        return;
    if (!RomFile::Exists(choice.Path)) {
        dialogs.Message(FileMissingMessage);
        return;
    }
    const PaletteFileFormat* format = PaletteFormatToLoad(choice.FilterIndex);
    if (!format)
        return;
    if (!HasRoomToLoad(state_.Sets, *format)) {
        RefreshSetList();
        return;
    }
    const PaletteLoad load = LoadPaletteFile(choice.Path, *format, state_.NesColors);
    if (load.Error) {
        dialogs.Message(*load.Error);
        return;
    }
    StoreLoadedSetsAsStep(state_, "color set load", load.Sets, format->ReplacesList);
    RefreshSetList();
}

void ColorSet::BtColorSetSave_Click()
{
    Dialogs& dialogs = windows_.Dialogs;
    const OwnDialogScope open(*this);
    const FileChoice choice = dialogs.SaveFile(PaletteSaveFilter());
    const PaletteFileFormat* format = PaletteFormatToSave(choice.FilterIndex);
    if (choice.Path.empty() || !format)
        return;
    if (const auto failure = SavePaletteFile(choice.Path, *format, state_.Sets))
        dialogs.Message(*failure);
}

std::int32_t ColorSet::ReadAddressField()
{
    const double value = ReadLenientNumber(EdPalAdd->currentText().toStdString());
    EdPalAdd->setEditText(QString::fromStdString(FormatPlainDecimal(value)));
    return RoundHalfEven(value);
}

void ColorSet::BtPalIn_Click()
{
    if (state_.Sets.SetCount >= MaxSetCount)
        return;
    const auto encoding = static_cast<std::uint8_t>(std::max(ComboPalMode->currentIndex(), 0));
    const std::int32_t address = ReadAddressField();
    const int count = ComboNumCol->currentText().toInt();
    StoreLoadedSetsAsStep(state_, "palette import",
                          {ImportPalette(state_.FileHandle, address, encoding, count, state_.NesColors,
                                         state_.HexAddresses ? HexText(address)
                                                             : EdPalAdd->currentText().toStdString())},
                          false);
    RefreshSetList();
}

void ColorSet::BtPalOut_Click()
{
    Dialogs& dialogs = windows_.Dialogs;
    const OwnDialogScope open(*this);
    if (!ConfirmSave(state_, dialogs))
        return;
    const auto encoding = static_cast<std::uint8_t>(std::max(ComboPalMode->currentIndex(), 0));
    const std::int32_t address = ReadAddressField();
    const int count = ComboNumCol->currentText().toInt();
    if (const auto message = RecordStep(state_.Recorder, "palette export",
                                        [&] { return ExportSelectedSet(state_, address, encoding, count); }))
        dialogs.Message(*message);
    RomBytesChanged(windows_);
}

void ColorSet::Form_Deactivate()
{
    if (!HoldOpen)
        ToolWindow::Form_Deactivate();
    HoldOpen = false;
}

void ColorSet::Form_Activate()
{
    DrawSelectedSet();
}

bool ColorSet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TextName && event->type() == QEvent::MouseButtonDblClick) {
        RenameSelectedSetAsStep(state_, TextName->text().toLatin1().toStdString());
        RefreshSetList();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

ColorSetList& ColorSet::Sets()
{
    return state_.Sets;
}
