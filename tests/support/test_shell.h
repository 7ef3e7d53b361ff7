#pragma once

#include "ui/floor/shell.h"

#include <QMainWindow>
#include <QPoint>

#include <string>

// The main window's part that a window on its own reaches: the status
// strip's two lines as strings, and a bare main window.
class TestShell : public Shell {
public:
    void SetInfoText(const std::string& text) override { InfoText = text; }
    void SetCoorText(const std::string& text) override { CoorText = text; }
    void PopUpMenu(PopupMenu, const QPoint&) override {}
    void ShowMenus(bool) override {}
    QMainWindow& MainWindow() override { return window; }

    std::string InfoText;
    std::string CoorText;
    QMainWindow window;
};
