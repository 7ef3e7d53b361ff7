#pragma once

#include <string>

class QMainWindow;
class QPoint;

// The menus the main window shows as pop-ups over another window.
enum class PopupMenu { Browser, Editor };

// What windows ask of the main window: its status strip, its menus and the
// window itself (for its place and its enabled state). The main window
// implements it; windows reach it through Windows, never through the main
// window's own header.
class Shell {
public:
    // The information line and the pointer line of the status strip.
    virtual void SetInfoText(const std::string& text) = 0;
    virtual void SetCoorText(const std::string& text) = 0;

    // Shows a top-level menu as a pop-up at a point on the screen, and
    // returns when it closes.
    virtual void PopUpMenu(PopupMenu menu, const QPoint& globalPosition) = 0;
    // Shows or hides the top-level menus.
    virtual void ShowMenus(bool visible) = 0;

    virtual QMainWindow& MainWindow() = 0;

protected:
    ~Shell() = default;
};
