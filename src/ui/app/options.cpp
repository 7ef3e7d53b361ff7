#include "ui/app/options.h"

#include "ui/floor/shell.h"

#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "ui/floor/tool_window.h"
#include "ui/floor/windows.h"
#include <QMainWindow>

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QVBoxLayout* FrameLayout(QGroupBox* frame)
{
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    return layout;
}

}  // namespace

ColorSwatch::ColorSwatch(const char* toolTip, QWidget* parent) : QLabel(parent)
{
    setToolTip(QString::fromLatin1(toolTip));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setFixedSize(36, 20);
    SetColor(0);
}

void ColorSwatch::SetColor(PackedColor color)
{
    color_ = color;
    QPalette colors = palette();
    colors.setColor(QPalette::Window, QColor(RedOf(color), GreenOf(color), BlueOf(color)));
    setPalette(colors);
}

void ColorSwatch::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit Clicked();
}

Options::Options(ProgramState& state, Windows& windows, QWidget* parent)
    : QWidget(parent, Qt::Tool), Folders(DefaultConfigFolders()), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Options"));

    LbGridColor = new ColorSwatch("The grids will be displayed using this color");
    LbSelectionColor = new ColorSwatch("The selection boxes use this color");
    LbEmptyColor = new ColorSwatch("An tile without address will be displayed in this color");
    auto* colorsFrame = new QGroupBox(QStringLiteral("Colors"));
    auto* colorsLayout = new QHBoxLayout(colorsFrame);
    colorsLayout->setContentsMargins(4, 2, 4, 4);
    for (ColorSwatch* swatch : {LbGridColor, LbSelectionColor, LbEmptyColor}) {
        colorsLayout->addWidget(swatch);
        connect(swatch, &ColorSwatch::Clicked, this, [this, swatch] { PickSwatchColor(swatch); });
    }
    LbGridColor->SetColor(state_.GridColor);
    LbSelectionColor->SetColor(state_.SelectionColor);
    LbEmptyColor->SetColor(state_.EmptyColor);

    // The switches show the state's values; the code that acts on them reads
    // the state, so every change is written through at once.
    CheckSaveWarn = new QCheckBox(QStringLiteral("Show save warning"));
    CheckSaveWarn->setToolTip(QStringLiteral("Display the save warning evertime you want to save to file"));
    CheckSaveWarn->setChecked(state_.ShowSaveWarning);
    Label1 = new QLabel(
        QStringLiteral("Be carefull when you deactivate the save warning. You could damage a file by accident."));
    Label1->setWordWrap(true);
    auto* warnFrame = new QGroupBox(QStringLiteral("Show save warning"));
    QVBoxLayout* warnLayout = FrameLayout(warnFrame);
    warnLayout->addWidget(CheckSaveWarn);
    warnLayout->addWidget(Label1);

    CheckSpeed = new QCheckBox(QStringLiteral("Meassure redraw time"));
    CheckSpeed->setChecked(state_.MeasureRedrawTime);
    auto* benchFrame = new QGroupBox(QStringLiteral("Benchmark"));
    FrameLayout(benchFrame)->addWidget(CheckSpeed);

    BtLoadNow = new QPushButton(QStringLiteral("Load old layout"));
    BtSaveNow = new QPushButton(QStringLiteral("Save layout now"));
    BtOk = new QPushButton(QStringLiteral("OK"));
    auto* layoutFrame = new QGroupBox(QStringLiteral("Apperance"));
    QVBoxLayout* buttons = FrameLayout(layoutFrame);
    for (QPushButton* button : {BtLoadNow, BtSaveNow, BtOk})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    for (QGroupBox* frame : {colorsFrame, warnFrame, benchFrame, layoutFrame})
        layout->addWidget(frame);
    layout->addStretch();
    // 156 x 259 pixels, unless the platform's fonts need more room; the
    // warning text wraps to the width.
    const int width = std::max(156, layout->minimumSize().width());
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : layout->sizeHint().height();
    setFixedSize(width, std::max(259, height));

    connect(CheckSaveWarn, &QCheckBox::toggled, this, [this](bool on) { state_.ShowSaveWarning = on; });
    connect(CheckSpeed, &QCheckBox::toggled, this, [this](bool on) { state_.MeasureRedrawTime = on; });
    connect(BtOk, &QPushButton::clicked, this, &Options::BtOk_Click);
    connect(BtSaveNow, &QPushButton::clicked, this, &Options::BtSaveNow_Click);
    connect(BtLoadNow, &QPushButton::clicked, this, &Options::BtLoadNow_Click);
}

void Options::SetMainWindowEnabled(bool enabled)
{
    windows_.Shell.MainWindow().setEnabled(enabled);
    // This window belongs to the main window, so it was disabled with it.
    setEnabled(true);
}

void Options::ShowOptions()
{
    SetMainWindowEnabled(false);
    LbGridColor->SetColor(state_.GridColor);
    LbSelectionColor->SetColor(state_.SelectionColor);
    LbEmptyColor->SetColor(state_.EmptyColor);
    ShowToolWindow(*this);
}

void Options::PickSwatchColor(ColorSwatch* swatch)
{
    if (const std::optional<PackedColor> color = windows_.Dialogs.PickColor())
        swatch->SetColor(*color);
}

void Options::BtOk_Click()
{
    // No view is redrawn: the colors show at the next redraw.
    state_.GridColor = LbGridColor->Color();
    state_.SelectionColor = LbSelectionColor->Color();
    state_.EmptyColor = LbEmptyColor->Color();
    SetMainWindowEnabled(true);
    hide();
}

void Options::BtSaveNow_Click()
{
    SaveConfig(state_, windows_, windows_.Dialogs, Folders);
}

void Options::BtLoadNow_Click()
{
    LoadConfig(state_, windows_, Folders);
    BtOk_Click();
}

void Options::closeEvent(QCloseEvent* event)
{
    BtOk_Click();
    event->accept();
}
