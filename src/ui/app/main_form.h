#pragma once

#include "ui/floor/shell.h"
#include "ui/floor/windows.h"

#include <QMainWindow>

#include <vector>

#include <memory>
#include <string>

class QLabel;
class QMdiArea;
class QMenu;
class QMdiSubWindow;
class QtDialogs;
struct ProgramState;

// The main window: the menus, the child windows in its MDI area and the
// status strip with the information line and the pointer line.
class MainForm : public QMainWindow, public Shell {
    Q_OBJECT

public:
    // Uses the given dialogs (tests pass scripted ones), else Qt's.
    explicit MainForm(ProgramState& state, Dialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~MainForm() override;

    QMdiArea* MdiArea() const { return mdiArea_; }
    Windows& AllWindows() { return windows_; }

    void SetInfoText(const std::string& text) override;
    void SetCoorText(const std::string& text) override;
    void PopUpMenu(PopupMenu menu, const QPoint& globalPosition) override;
    void ShowMenus(bool visible) override;
    QMainWindow& MainWindow() override { return *this; }

    // Puts a window into the MDI area as a fixed-size child window at the
    // given position, hidden.
    QMdiSubWindow* AddChildWindow(QWidget* window, QPoint position);

    // Opens the file named on the command line; a name that names nothing
    // is reported in the information line and the program starts empty.
    void OpenStartFile(const std::string& path);

    // The menu item of the given name ("IOpen", "IGrid", ...).
    QAction* MenuItem(const char* name) const;

    QLabel* LbInfo;
    QLabel* LbCoor;
    QMenu* IBrowser;
    QMenu* IEditor;
    QMenu* ITile;
    QMenu* IIhelp;
    QMenu* IEdit;
    QMenu* ILayout;
    QMenu* IGo;
    QMenu* IDraw;
    QMenu* IWindow;

protected:
    void closeEvent(QCloseEvent* event) override;
    // One file dragged from a file manager opens as through the open button.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::vector<QMenu*> menus_;  // every menu, left to right

    void CreateWindows();
    void ArrangeWindows();
    void CreateMenus();
    void CreateStatusStrip();
    void CreateAddedKeys();
    void ShowUndoItems();

    ProgramState& state_;
    std::unique_ptr<QtDialogs> ownDialogs_;
    Windows windows_;
    QMdiArea* mdiArea_;
};
