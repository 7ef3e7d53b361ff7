#pragma once

#include "ui/floor/tool_window.h"
#include "model/palette/color_sets.h"

#include <QImage>

struct ProgramState;
struct Windows;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class ColorSetPreview;

// The "Color Set" window: the list of stored palettes, their files, and
// palette transfer at an address of the open ROM.
class ColorSet : public ToolWindow {
    Q_OBJECT

public:
    ColorSet(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    void RefreshSetList();
    void DrawSelectedSet();
    // Hides the window, unless HoldOpen is set, which it spends.
    void Form_Deactivate() override;

    void BtAddSet_Click();
    void BtApplySet_Click();
    void BtDelSet_Click();
    void BtRandomPal_Click();
    void BtColorSetLoad_Click();
    void BtColorSetSave_Click();
    void BtPalIn_Click();
    void BtPalOut_Click();
    // A click on the preview: the color dialog for that color.
    void ImCol_MouseDown(QPoint point);

    ColorSetList& Sets();
    // Set when the color dialog opens from this window, so that the window
    // stays up when the dialog takes the activation.
    bool HoldOpen = false;

    QListWidget* ListSets;
    QLineEdit* TextName;
    ColorSetPreview* ImCol;
    QPushButton* BtAddSet;
    QPushButton* BtApplySet;
    QPushButton* BtDelSet;
    QPushButton* BtRandomPal;
    QPushButton* BtColorSetLoad;
    QPushButton* BtColorSetSave;
    QComboBox* ComboPalMode;
    QComboBox* ComboNumCol;
    QComboBox* EdPalAdd;
    QPushButton* BtPalIn;
    QPushButton* BtPalOut;

protected:
    // Draws the selected set again.
    void Form_Activate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Rewrites the address field as the decimal text of its value and
    // returns the value rounded.
    std::int32_t ReadAddressField();

    ProgramState& state_;
    Windows& windows_;
};

// The 16 x 16 preview of the selected set; painting only copies its image.
class ColorSetPreview : public QWidget {
    Q_OBJECT

public:
    static constexpr int Side = 128;
    explicit ColorSetPreview(QWidget* parent = nullptr);
    QImage& Image() { return image_; }

signals:
    void Pressed(QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
};
