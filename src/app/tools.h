#pragma once

#include <QWidget>

struct ProgramState;
struct Windows;
class QToolButton;

// The tool panel ("Controls"): the menu switch, buttons that open the tool
// windows, and the three switches of the window arrangement.
class Tools : public QWidget {
    Q_OBJECT

public:
    Tools(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Shows and hides the working windows as the three switches say, once
    // a switch has been used: until then (a start without a saved layout)
    // the windows stay as they were shown at start.
    void ApplyToolPanel();

    QToolButton* ChkMenu;
    QToolButton* Bthelp;
    QToolButton* BtOptions;
    QToolButton* BtFileInfo;
    QToolButton* BtColorSet;
    QToolButton* BtBookmark;
    QToolButton* BtBMPImport;
    QToolButton* BtSaveBMP;
    QToolButton* BtEditPatt;
    QToolButton* ChkTile;
    QToolButton* ChkEdit;
    QToolButton* ChkBrow;

private:
    void WindowSwitch_Click();

    ProgramState& state_;
    Windows& windows_;
    bool arranged_ = false;  // a window switch has been used
};
