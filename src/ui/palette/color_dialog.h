#pragma once

#include "ui/floor/tool_window.h"
#include "model/core/packed_color.h"

#include <array>

struct ProgramState;
struct Windows;
class QLabel;
class QPushButton;
class QScrollBar;
class ColorSet;

// The "Color" dialog: one color of the working palette (target -1) or of a
// stored color set (target = the set) edited with three 0-255 sliders. It
// keeps full 8-bit channels; the 5-bit labels only show what a 15-bit
// encoding would store, and LBEncodedValues the value of each later encoding.
class ColorDialog : public ToolWindow {
    Q_OBJECT

public:
    ColorDialog(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Loads a color into the sliders; the caller shows the window.
    void SetColor(int target, int index, PackedColor color);

    // Stores the color and closes; Cancle only closes.
    void Accept();
    // Hides; opened from the color set window, gives that window the
    // activation back.
    void Close();
    // Losing the activation hides the dialog, and the color set window it
    // was opened from unless the activation went there.
    void Form_Deactivate() override;

    int Target() const { return target_; }
    int Index() const { return index_; }

    std::array<QScrollBar*, 3> ColScroll;
    std::array<QLabel*, 6> ColVal;
    QLabel* LBEncodedValues;
    QLabel* LBColPrev;
    QPushButton* BtCancle;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ColScroll_Change(int slider);
    // The color set window when it opened this dialog and is still shown.
    ColorSet* OpenedFrom() const;
    PackedColor EditedColor() const;

    ProgramState& state_;
    Windows& windows_;
    int target_ = -1;
    int index_ = 0;
};
