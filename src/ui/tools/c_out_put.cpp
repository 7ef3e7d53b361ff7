#include "ui/tools/c_out_put.h"

#include "ui/floor/windows.h"
#include "model/core/dialogs.h"
#include "model/core/program_state.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// Progress repaints are spaced so that drawing never costs more than the
// conversion itself.
constexpr qint64 ProgressRepaintMs = 40;

template <std::size_t N> QComboBox* List(const std::array<const char*, N>& items, const char* toolTip)
{
    auto* combo = new QComboBox;
    for (const char* item : items)
        combo->addItem(QString::fromLatin1(item));
    if (toolTip)
        combo->setToolTip(QString::fromLatin1(toolTip));
    return combo;
}

QScrollBar* CountBar()
{
    auto* bar = new QScrollBar(Qt::Horizontal);
    bar->setRange(1, 16);
    bar->setValue(1);
    bar->setPageStep(1);
    bar->setMinimumWidth(120);
    return bar;
}

std::string Latin1(const QLineEdit* field)
{
    return field->text().toLatin1().toStdString();
}

}  // namespace

COutPut::COutPut(ProgramState& state, Windows& windows, QWidget* parent)
    : ToolWindow(parent), state_(state), windows_(windows)
{
    setWindowTitle(QStringLiteral("Tile and Palette C/C++ Converter"));

    EdPalette = new QLineEdit(QStringLiteral("palette"));
    EdSprite = new QLineEdit(QStringLiteral("sprite"));
    ComboColNum = List(ColorCountItems, nullptr);
    ComboPalMode = List(PalModeItems, nullptr);
    BtCCodePalette = new QPushButton(QStringLiteral("Palette to C"));
    BtCCodePalette->setToolTip(QStringLiteral("Display palette to C code"));
    ComboTilemode = List(TileModeItems, "Choose tile mode");
    ComboSize = List(SpriteSizeItems, "Choose size of tiles");
    ComboShape = List(SpriteShapeItems, "Choose shape of tiles");
    ScrRows = CountBar();
    ScrLines = CountBar();
    LbRows = new QLabel;
    LbLines = new QLabel;
    BtCCodeSprite = new QPushButton(QStringLiteral("Tiles to C"));
    BtCCodeSprite->setToolTip(QStringLiteral("Convert editor tiles to C code"));
    LbInfo = new QLabel;
    LbInfo->setMinimumWidth(260);

    auto* palette = new QGroupBox(QStringLiteral("Palette"));
    auto* paletteLayout = new QGridLayout(palette);
    paletteLayout->addWidget(new QLabel(QStringLiteral("Name of palette variable:")), 0, 0, 1, 3);
    paletteLayout->addWidget(EdPalette, 1, 0, 1, 3);
    paletteLayout->addWidget(ComboColNum, 2, 0);
    paletteLayout->addWidget(ComboPalMode, 2, 1);
    paletteLayout->addWidget(BtCCodePalette, 2, 2);

    auto* tiles = new QGroupBox(QStringLiteral("Tiles"));
    auto* tileLayout = new QGridLayout(tiles);
    tileLayout->addWidget(new QLabel(QStringLiteral("Name of sprite variable:")), 0, 0, 1, 3);
    tileLayout->addWidget(EdSprite, 1, 0, 1, 3);
    tileLayout->addWidget(ComboTilemode, 2, 0);
    tileLayout->addWidget(ComboSize, 2, 1);
    tileLayout->addWidget(ComboShape, 2, 2);
    tileLayout->addWidget(new QLabel(QStringLiteral("Rows")), 3, 0);
    tileLayout->addWidget(ScrRows, 3, 1);
    tileLayout->addWidget(LbRows, 3, 2);
    tileLayout->addWidget(new QLabel(QStringLiteral("Lines")), 4, 0);
    tileLayout->addWidget(ScrLines, 4, 1);
    tileLayout->addWidget(LbLines, 4, 2);
    tileLayout->addWidget(BtCCodeSprite, 5, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(palette);
    layout->addWidget(tiles);
    layout->addWidget(LbInfo);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const auto relayout = [this] { UpdateSpriteLayout(); };
    connect(ComboSize, &QComboBox::currentIndexChanged, this, relayout);
    connect(ComboShape, &QComboBox::currentIndexChanged, this, relayout);
    connect(ScrRows, &QScrollBar::valueChanged, this, relayout);
    connect(ScrLines, &QScrollBar::valueChanged, this, relayout);
    connect(BtCCodePalette, &QPushButton::clicked, this, &COutPut::BtCCodePalette_Click);
    connect(BtCCodeSprite, &QPushButton::clicked, this, &COutPut::BtCCodeSprite_Click);

    UpdateSpriteLayout();
}

void COutPut::HideTool()
{
    if (!IsActiveTool())
        Form_Deactivate();
}

void COutPut::UpdateSpriteLayout()
{
    layout_ = ::UpdateSpriteLayout(ComboSize->currentIndex(), ComboShape->currentIndex(), ScrRows->value(),
                                   ScrLines->value());
    {
        // The new range may lower a value; that lowering is part of this update.
        const QSignalBlocker rowsBlocker(ScrRows);
        const QSignalBlocker linesBlocker(ScrLines);
        ScrRows->setMaximum(layout_.MaxRows);
        ScrLines->setMaximum(layout_.MaxLines);
        ScrRows->setValue(layout_.Rows);
        ScrLines->setValue(layout_.Lines);
    }
    LbRows->setText(QString::number(layout_.Rows));
    LbLines->setText(QString::number(layout_.Lines));
    LbInfo->setText(QString::fromStdString(SpriteLayoutInfo(layout_)));
}

std::string COutPut::AskHeaderFile()
{
    const OwnDialogScope open(*this);
    return windows_.Dialogs.SaveFile(CHeaderFilter).Path;
}

bool COutPut::Save(const std::string& path, const std::string& text)
{
    const auto failure = SaveCHeader(path, text);
    if (!failure)
        return true;
    const OwnDialogScope open(*this);
    windows_.Dialogs.Message(*failure);
    return false;
}

void COutPut::BtCCodePalette_Click()
{
    const std::string path = AskHeaderFile();
    if (path.empty())
        return;
    Save(path, PaletteCSource(state_.WorkingPalette, Latin1(EdPalette), ColorCountOf(ComboColNum->currentIndex()),
                              PalModeEncoding(ComboPalMode->currentIndex())));
    if (isVisible())
        activateWindow();
}

void COutPut::BtCCodeSprite_Click()
{
    const std::string path = AskHeaderFile();
    if (path.empty())
        return;
    const auto mode = ComboTilemode->currentIndex() == 1 ? SpriteTileMode::Gba256 : SpriteTileMode::Gba16;
    QElapsedTimer sinceRepaint;
    const std::string text =
        SpriteCSource(state_.EditorSlots, Latin1(EdSprite), layout_, mode, [&](int done, int total) {
            LbInfo->setText(QString::fromStdString(ConvertingInfo(done, total)));
            if (!sinceRepaint.isValid() || sinceRepaint.elapsed() >= ProgressRepaintMs) {
                LbInfo->repaint();
                sinceRepaint.start();
            }
        });
    if (Save(path, text))
        LbInfo->setText(QString::fromStdString(ConvertedInfo(layout_.TileCount())));
    else
        LbInfo->setText(QString::fromStdString(SpriteLayoutInfo(layout_)));
    if (isVisible())
        activateWindow();
}
