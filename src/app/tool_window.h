#pragma once

#include "core/config_file.h"

#include <QPushButton>
#include <QWidget>

#include <utility>

// Helpers shared by the floating tool windows.

// The part of the screen the window stands on that windows may use (the
// primary screen's when it has none yet).
ScreenRect AvailableScreen(const QWidget* window);

// Where a floating window goes when nothing has placed it yet: over the
// middle of its main window's working area (below the menus), on the screen.
QPoint DefaultToolPosition(QWidget& window);

// A floating window's place: where it stands once the program or a layout
// has placed it, else its default place.
QPoint ToolWindowPosition(QWidget& window);

// Shows a floating window above the main window and gives it the focus.
// Shown for the first time without a place of its own, it first goes to
// its default place rather than the screen's corner.
void ShowToolWindow(QWidget& window);

// Keeps a tool window up while one of its own dialogs is open: the dialog
// takes the activation, which would otherwise hide the window. Afterwards
// the window takes the focus back if it is still shown.
class OwnDialogScope {
public:
    OwnDialogScope(QWidget& window, bool& flag) : window_(window), flag_(flag), before_(std::exchange(flag, true)) {}
    ~OwnDialogScope()
    {
        flag_ = before_;
        if (!before_ && window_.isVisible())
            window_.activateWindow();
    }
    OwnDialogScope(const OwnDialogScope&) = delete;
    OwnDialogScope& operator=(const OwnDialogScope&) = delete;

private:
    QWidget& window_;
    bool& flag_;
    bool before_;
};

// A text button with its tool tip.
inline QPushButton* MakeTextButton(const char* caption, const char* toolTip)
{
    auto* button = new QPushButton(QString::fromLatin1(caption));
    if (toolTip)
        button->setToolTip(QString::fromLatin1(toolTip));
    return button;
}
