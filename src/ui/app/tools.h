#pragma once

#include "ui/floor/icons.h"

#include <QWidget>

#include <span>

struct ProgramState;
struct Windows;
class QToolButton;
class Tools;

// One picture button or toggle of the tool panel: the member that holds it,
// its object name, its group (a line parts one group from the next), its
// picture and tool tip, and what a click on it runs.
struct ToolControl {
    enum Kind { Button, Toggle, PressedToggle };  // a toggle starts released, unless pressed

    QToolButton* Tools::*Control;
    const char* Name;
    int Group;
    IconKind Icon;
    const char* ToolTip;
    Kind Type;
    void (*Run)(Tools&);
};

// The tool panel ("Controls"): the menu switch, buttons that open the tool
// windows, the three switches of the window arrangement and the PNG
// exchange.
class Tools : public QWidget {
    Q_OBJECT

public:
    Tools(ProgramState& state, Windows& windows, QWidget* parent = nullptr);

    // Shows and hides the working windows as the three switches say, once
    // a switch has been used: until then (a start without a saved layout)
    // the windows stay as they were shown at start.
    void ApplyToolPanel();

    // The panel's controls, top to bottom. Adding a button is one line there.
    static std::span<const ToolControl> ControlTable();

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
    QToolButton* BtPngImport;
    QToolButton* BtPngExport;
    QToolButton* BtPngBrowser;
    QToolButton* BtFindGraphics;

private:
    void WindowSwitch_Click();
    // Runs an action of another window, when that window exists.
    template <class Window, class Owner> void RunOn(Window* Windows::*window, void (Owner::*action)());

    ProgramState& state_;
    Windows& windows_;
    bool arranged_ = false;  // a window switch has been used
};
