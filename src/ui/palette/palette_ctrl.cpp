#include "ui/palette/palette_ctrl.h"

#include "model/core/mode_table.h"
#include "ui/floor/child_window.h"
#include "ui/floor/shell.h"

#include "model/core/config_file.h"
#include "model/core/program_state.h"
#include "model/core/view_limits.h"
#include "model/palette/working_palette.h"
#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "ui/palette/color_dialog.h"
#include <QMainWindow>

#include <QHBoxLayout>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QPushButton>
#include <QTransform>
#include <QVBoxLayout>

#include <cstdint>
#include <string>

namespace {

constexpr int ArrowSide = 16;
constexpr std::int16_t ColorEditorLeftTwips = 1900;
constexpr std::int16_t ColorEditorTopTwips = 100;
constexpr int SwatchSide = 24;

QColor ToQColor(PackedColor color)
{
    return QColor::fromRgb(qRgb(RedOf(color), GreenOf(color), BlueOf(color)));
}

// A small black arrow: a triangle head and a shaft, pointing left or right.
QIcon ArrowIcon(bool pointsLeft)
{
    QPixmap pixmap(ArrowSide, ArrowSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    QPolygon head({QPoint(2, 8), QPoint(8, 2), QPoint(8, 14)});
    QRect shaft(8, 6, 6, 4);
    if (!pointsLeft) {
        // Mirror around the vertical center line.
        QTransform mirror(-1, 0, 0, 1, ArrowSide, 0);
        head = mirror.map(head);
        shaft = mirror.mapRect(shaft);
    }
    painter.drawPolygon(head);
    painter.drawRect(shaft);
    return QIcon(pixmap);
}

QPushButton* SmallButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFixedSize(26, 24);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

PaletteGrid::PaletteGrid(QWidget* parent) : QWidget(parent), image_(Side, Side, QImage::Format_RGB32)
{
    image_.fill(Qt::black);
    setFixedSize(Side, Side);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaletteGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

void PaletteGrid::mousePressEvent(QMouseEvent* event)
{
    emit Pressed(event->button(), event->position());
}

void PaletteGrid::mouseMoveEvent(QMouseEvent* event)
{
    emit Moved(event->position());
}

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    // Accepting the press makes the label receive the matching release.
    event->setAccepted(event->button() == Qt::LeftButton);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Clicked();
}

PaletteCtrl::PaletteCtrl(ProgramState& state, Windows& windows, QWidget* parent)
    : QWidget(parent), state_(state), windows_(windows)
{
    setWindowTitle("Color Palette");
    CreateControls();
    DrawPalettePanel();

    ChangeBoard& changes = windows_.Changes;
    for (ChangeKind kind : {ChangeKind::Palette, ChangeKind::CurrentColor})
        changes.Subscribe(kind, [this](const Change&) { DrawPalettePanel(); });
    changes.Subscribe(ChangeKind::Mode, [this](const Change& change) {
        SetShiftCount(ShiftCountForBits(change.Mode->BitsPerPixel));
        DrawPalettePanel();
    });
}

void PaletteCtrl::CreateControls()
{
    ImCol = new PaletteGrid(this);
    ImCol->setToolTip("Left-click: Choose  color for Paint or Fill mode | Right-click: Edit color");

    ShpCol = new QLabel(this);
    ShpCol->setFixedSize(SwatchSide, SwatchSide);
    ShpCol->setFrameShape(QFrame::Box);
    ShpCol->setAutoFillBackground(true);

    BtPalShiftLeft = SmallButton(QString(), this);
    BtPalShiftLeft->setIcon(ArrowIcon(true));
    BtPalShiftNum = SmallButton(QString::number(shiftCount_), this);
    BtPalShiftNum->setToolTip("Select by clicking the number of colors which should be shifted");
    BtPalShiftRight = SmallButton(QString(), this);
    BtPalShiftRight->setIcon(ArrowIcon(false));
    BtPalShiftRight->setToolTip("Shift the selected number of colors to the right");

    Label1 = new ClickLabel("256/16/4 switch", this);
    Label1->setToolTip("Switch between 256 and 16 colors display");
    Label1->setCursor(Qt::PointingHandCursor);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(2);
    buttonRow->addWidget(ShpCol);
    buttonRow->addStretch();
    buttonRow->addWidget(BtPalShiftLeft);
    buttonRow->addWidget(BtPalShiftNum);
    buttonRow->addWidget(BtPalShiftRight);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(ImCol);
    column->addLayout(buttonRow);
    column->addWidget(Label1);
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(Label1, &ClickLabel::Clicked, this, &PaletteCtrl::Label1_Click);
    connect(BtPalShiftNum, &QPushButton::clicked, this, &PaletteCtrl::BtPalShiftNum_Click);
    connect(BtPalShiftLeft, &QPushButton::clicked, this, &PaletteCtrl::BtPalShiftLeft_Click);
    connect(BtPalShiftRight, &QPushButton::clicked, this, &PaletteCtrl::BtPalShiftRight_Click);
    connect(ImCol, &PaletteGrid::Pressed, this, &PaletteCtrl::ImCol_MouseDown);
    connect(ImCol, &PaletteGrid::Moved, this, &PaletteCtrl::ImCol_MouseMove);
}

void PaletteCtrl::DrawPalettePanel()
{
    const int columns = state_.PaletteColumns;
    if (columns > 0 && columns <= MaxPaletteColumns) {
        const int cell = PaletteGrid::Side / columns;
        QPainter painter(&ImCol->Image());
        for (int i = 0; i < columns * columns; ++i) {
            const QRect cellRect((i % columns) * cell, (i / columns) * cell, cell, cell);
            painter.fillRect(cellRect, ToQColor(state_.WorkingPalette[i]));
        }
    }
    ImCol->update();

    QPalette swatch = ShpCol->palette();
    swatch.setColor(QPalette::Window, ToQColor(state_.WorkingPalette[state_.CurrentColor]));
    ShpCol->setPalette(swatch);
}

void PaletteCtrl::SetShiftCount(int count)
{
    shiftCount_ = count;
    BtPalShiftNum->setText(QString::number(count));
}

void PaletteCtrl::Label1_Click()
{
    state_.PaletteColumns = NextPaletteColumns(state_.PaletteColumns);
    DrawPalettePanel();
}

void PaletteCtrl::BtPalShiftNum_Click()
{
    SetShiftCount(NextShiftCount(shiftCount_));
}

void PaletteCtrl::BtPalShiftLeft_Click()
{
    RecordStep(state_.Recorder, "palette shift", [&] { ShiftPaletteLeft(state_.WorkingPalette, shiftCount_); });
    PaletteChanged(windows_);
}

void PaletteCtrl::BtPalShiftRight_Click()
{
    RecordStep(state_.Recorder, "palette shift", [&] { ShiftPaletteRight(state_.WorkingPalette, shiftCount_); });
    PaletteChanged(windows_);
}

int PaletteCtrl::CellAt(QPointF position) const
{
    return PaletteCellAt(position.x(), position.y(), state_.PaletteColumns, PaletteGrid::Side, PaletteGrid::Side);
}

void PaletteCtrl::ImCol_MouseDown(Qt::MouseButton button, QPointF position)
{
    if (button == Qt::LeftButton) {
        state_.CurrentColor = static_cast<std::uint8_t>(CellAt(position));
        DrawPalettePanel();
    } else if (button == Qt::RightButton) {
        OpenColorEditor(CellAt(position));
    }
}

void PaletteCtrl::ImCol_MouseMove(QPointF position)
{
    windows_.Shell.SetCoorText("Color no " + std::to_string(CellAt(position)));
}

void PaletteCtrl::OpenColorEditor(int index)
{
    ColorDialog* dialog = windows_.ColorDialog;
    dialog->SetColor(-1, index, state_.WorkingPalette[index]);
    // The main window's outer corner on the screen plus the panel's place in
    // its client area, then 1900 twips right and 100 twips down.
    const QPoint mainCorner = windows_.Shell.MainWindow().pos();
    const QPoint offset(TwipsToPixels(ColorEditorLeftTwips), TwipsToPixels(ColorEditorTopTwips));
    dialog->move(mainCorner + ChildFrame(this)->pos() + offset);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
