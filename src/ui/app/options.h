#pragma once

#include "ui/app/layout_config.h"
#include "model/core/packed_color.h"

#include <QLabel>
#include <QWidget>

struct ProgramState;
struct Windows;
class QCheckBox;
class QPushButton;

// A bordered label filled with the color it stands for; reports a
// left-button click.
class ColorSwatch : public QLabel {
    Q_OBJECT

public:
    explicit ColorSwatch(const char* toolTip, QWidget* parent = nullptr);

    PackedColor Color() const { return color_; }
    void SetColor(PackedColor color);

signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PackedColor color_ = 0;
    bool pressed_ = false;
};

// The "Options" window: the display colors, the save warning and redraw
// timing switches, and saving and loading the window layout. The main
// window takes no input while it is open.
class Options : public QWidget {
    Q_OBJECT

public:
    Options(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Disables the main window, loads the swatches and shows the window.
    void ShowOptions();

    // Applies the swatch colors, enables the main window and hides.
    void BtOk_Click();
    void BtSaveNow_Click();
    void BtLoadNow_Click();
    // The color picker for one swatch; a cancel keeps the swatch's color.
    void PickSwatchColor(ColorSwatch* swatch);

    // Where "Save layout now" and "Load old layout" look for the file.
    ConfigFolders Folders;

    ColorSwatch* LbGridColor;
    ColorSwatch* LbSelectionColor;
    ColorSwatch* LbEmptyColor;
    QCheckBox* CheckSaveWarn;
    QLabel* Label1;
    QCheckBox* CheckSpeed;
    QPushButton* BtLoadNow;
    QPushButton* BtSaveNow;
    QPushButton* BtOk;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void SetMainWindowEnabled(bool enabled);

    ProgramState& state_;
    Windows& windows_;
};
