#include "ui/palette/color_dialog.h"

#include "model/core/program_state.h"
#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "ui/palette/color_set.h"
#include "model/palette/color_encoding.h"
#include "model/palette/color_set_edits.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

ColorDialog::ColorDialog(ProgramState& state, Windows& windows, QWidget* parent)
    : ToolWindow(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Color"));
    const char* const names[3] = {"Red", "Green", "Blue"};
    auto* layout = new QGridLayout(this);
    for (int k = 0; k < 3; ++k) {
        ColScroll[k] = new QScrollBar(Qt::Vertical);
        ColScroll[k]->setRange(0, 255);
        ColScroll[k]->setSingleStep(1);
        ColScroll[k]->setPageStep(8);
        ColScroll[k]->setMinimumHeight(160);
        ColVal[k] = new QLabel(QStringLiteral("0"));
        ColVal[k]->setToolTip(QStringLiteral("This is the current '%1' value").arg(QLatin1String(names[k])));
        ColVal[k + 3] = new QLabel(QStringLiteral("0"));
        ColVal[k + 3]->setToolTip(QStringLiteral("This is the current '%1' 5 bit value").arg(QLatin1String(names[k])));
        for (QLabel* label : {ColVal[k], ColVal[k + 3]})
            label->setAlignment(Qt::AlignCenter);
        layout->addWidget(ColScroll[k], 0, k, Qt::AlignHCenter);
        layout->addWidget(ColVal[k], 1, k);
        layout->addWidget(ColVal[k + 3], 2, k);
        connect(ColScroll[k], &QScrollBar::valueChanged, this, [this, k] { ColScroll_Change(k); });
    }
    // The values of the later encodings, below the 5-bit ones.
    LBEncodedValues = new QLabel;
    LBEncodedValues->setToolTip(QStringLiteral("The current color as stored by these encodings"));
    layout->addWidget(LBEncodedValues, 3, 0, 1, 3);
    LBColPrev = new QLabel(QStringLiteral("OK"));
    LBColPrev->setAlignment(Qt::AlignCenter);
    LBColPrev->setAutoFillBackground(true);
    LBColPrev->setMinimumHeight(28);
    LBColPrev->setFrameShape(QFrame::Box);
    LBColPrev->installEventFilter(this);
    BtCancle = new QPushButton(QStringLiteral("Cancle"));
    layout->addWidget(LBColPrev, 4, 0, 1, 3);
    layout->addWidget(BtCancle, 5, 0, 1, 3);
    connect(BtCancle, &QPushButton::clicked, this, &ColorDialog::Close);
}

void ColorDialog::SetColor(int target, int index, PackedColor color)
{
    target_ = target;
    index_ = index;
    const int channels[3] = {RedOf(color), GreenOf(color), BlueOf(color)};
    for (int k = 0; k < 3; ++k) {
        const QSignalBlocker blocker(ColScroll[k]);
        ColScroll[k]->setValue(channels[k]);
    }
    for (int k = 0; k < 3; ++k)
        ColScroll_Change(k);
}

void ColorDialog::ColScroll_Change(int slider)
{
    const int value = ColScroll[slider]->value();
    ColVal[slider]->setNum(value);
    ColVal[slider + 3]->setNum(value / 8);
    QPalette preview = LBColPrev->palette();
    const PackedColor color = EditedColor();
    LBEncodedValues->setText(QString::fromStdString(RepeatedEncodingValuesText(color)));
    preview.setColor(QPalette::Window, QColor(RedOf(color), GreenOf(color), BlueOf(color)));
    // Dark colors get light text so "OK" stays readable.
    preview.setColor(QPalette::WindowText, RedOf(color) + GreenOf(color) + BlueOf(color) < 300 ? Qt::white : Qt::black);
    LBColPrev->setPalette(preview);
}

PackedColor ColorDialog::EditedColor() const
{
    return MakePackedColor(ColScroll[0]->value(), ColScroll[1]->value(), ColScroll[2]->value());
}

void ColorDialog::Accept()
{
    const PackedColor color = EditedColor();
    if (target_ < 0) {
        RecordStep(state_.Recorder, "color edit", [&] { state_.WorkingPalette[index_] = color; });
        PaletteChanged(windows_);
    } else {
        SetSetColorAsStep(state_, target_, index_, color);
        ColorSetsChanged(windows_);
    }
    Close();
}

ColorSet* ColorDialog::OpenedFrom() const
{
    ColorSet* sets = windows_.ColorSet;
    return target_ >= 0 && sets->isVisible() ? sets : nullptr;
}

void ColorDialog::Close()
{
    // Hiding takes the activation away too; that is no going elsewhere.
    HideQuietly();
    // The color set window hides when it loses the activation; it can only
    // lose it again once it has it back.
    if (ColorSet* sets = OpenedFrom())
        sets->activateWindow();
}

void ColorDialog::Form_Deactivate()
{
    hide();
    // Going elsewhere from the dialog leaves the color set window as well.
    if (ColorSet* sets = OpenedFrom(); sets && QApplication::activeWindow() != sets)
        sets->Form_Deactivate();
}

bool ColorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LBColPrev && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
