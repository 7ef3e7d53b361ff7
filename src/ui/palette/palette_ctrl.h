#pragma once

#include <QImage>
#include <QLabel>
#include <QWidget>

struct ProgramState;
struct Windows;
class QPushButton;

// The palette panel's picture area: a fixed 96 x 96 backing image that the
// panel draws into. Painting only copies the image; presses and moves are
// passed on to the panel.
class PaletteGrid : public QWidget {
    Q_OBJECT

public:
    static constexpr int Side = 96;

    explicit PaletteGrid(QWidget* parent = nullptr);

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

signals:
    void Pressed(Qt::MouseButton button, QPointF position);
    void Moved(QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage image_;
};

// A label that reports a left-button click (press and release over it).
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The "Color Palette" panel: the grid of working palette colors, the swatch
// of the current color, the two rotation buttons, the shift count and the
// "256/16/4 switch".
class PaletteCtrl : public QWidget {
    Q_OBJECT

public:
    PaletteCtrl(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Repaints the grid and the swatch from the working palette.
    void DrawPalettePanel();

    // The number of places one click of a shift button rotates the palette.
    int ShiftCount() const { return shiftCount_; }
    void SetShiftCount(int count);

    // Controls, public for the windows that drive them and for tests.
    PaletteGrid* ImCol;
    QLabel* ShpCol;
    QPushButton* BtPalShiftLeft;
    QPushButton* BtPalShiftRight;
    QPushButton* BtPalShiftNum;
    ClickLabel* Label1;

private:
    void CreateControls();
    void Label1_Click();
    void BtPalShiftNum_Click();
    void BtPalShiftLeft_Click();
    void BtPalShiftRight_Click();
    void ImCol_MouseDown(Qt::MouseButton button, QPointF position);
    void ImCol_MouseMove(QPointF position);
    int CellAt(QPointF position) const;
    void OpenColorEditor(int index);

    ProgramState& state_;
    Windows& windows_;
    int shiftCount_ = 1;
};

