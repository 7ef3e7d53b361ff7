#pragma once

#include "model/core/config_file.h"

#include <QMargins>
#include <QPushButton>
#include <QWidget>

#include <optional>
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

// The widths of a window's frame around its client area as the window
// system reports them now: none before it has framed the window.
QMargins CurrentFrame(const QWidget& window);

// The widths of a window's frame around its client area. Where the window
// system has not framed the window (yet, or no longer: it unframes a hidden
// one), the widths it had when last framed, else those of its main window;
// none for a frameless window.
QMargins LikelyFrame(const QWidget& window);

// Moves a window so that its frame's outer corner lands on the point, also
// where the window system has not framed it.
void MoveFrameTo(QWidget& window, QPoint corner);

// The outer top-left corner (frame included) of the main window a floating
// window belongs to; floating windows keep their places relative to it.
QPoint MainWindowCorner(const QWidget& window);

// Puts a floating window at an offset from its main window's outer corner,
// kept on the screen. A hidden window takes the offset again when it is
// next shown, from wherever the main window stands then: a layout is
// applied before a window manager places the main window. A window shown
// through ShowToolWindow keeps its offset the same way while hidden.
void SetToolWindowOffset(QWidget& window, QPoint offset);

// A floating window's place relative to its main window's outer corner;
// for a hidden window waiting for its offset, that offset.
QPoint ToolWindowOffset(QWidget& window);

// Shows a floating window above the main window and gives it the focus.
// A window with an offset waiting goes to that offset from the main window
// (a window hidden since it stood there keeps the offset it had); one shown
// for the first time without a place of its own goes to its default place
// rather than the screen's corner.
void ShowToolWindow(QWidget& window);

// Where a window goes beside another (a child window of the working area or
// a top-level one): right of it at its top, or left of it when the screen
// has no room on the right; kept on the screen.
QPoint BesideWindow(QWidget& window, const QWidget& anchor);

// A floating tool window: a Qt::Tool window parented to the main window,
// created once and afterwards only shown and hidden. It hides when another
// window takes the activation, except while one of its own dialogs has it.
class ToolWindow : public QWidget {
    Q_OBJECT

public:
    // Shows the window above the main window and gives it the focus.
    void ShowTool();
    // The window lost the activation: it hides unless one of its own
    // dialogs took it. Other windows call this too (the color dialog for
    // the color set window it was opened from).
    virtual void Form_Deactivate();

protected:
    explicit ToolWindow(QWidget* parent, Qt::WindowFlags extraFlags = {});

    // The window gained the activation.
    virtual void Form_Activate() {}

    // Where the window goes when it is first shown; nothing: its default
    // place over the working area.
    virtual std::optional<QPoint> FirstPlace() { return std::nullopt; }

    // Whether this window itself is the active one. (QWidget::isActiveWindow
    // also counts a tool window whose main window is active under styles
    // that share the activation.)
    bool IsActiveTool() const;

    // Hides the window; the activation it gives up on the way is no
    // deactivation.
    void HideQuietly();

    void changeEvent(QEvent* event) override;

    // Keeps the window up while one of its own dialogs (file dialog,
    // question, message) is open: the dialog takes the activation, which
    // would otherwise hide the window. Afterwards the window takes the focus
    // back if it is still shown.
    class OwnDialogScope {
    public:
        explicit OwnDialogScope(ToolWindow& window)
            : window_(window), before_(std::exchange(window.ownDialogOpen_, true))
        {
        }
        ~OwnDialogScope()
        {
            window_.ownDialogOpen_ = before_;
            if (!before_ && window_.isVisible())
                window_.activateWindow();
        }
        OwnDialogScope(const OwnDialogScope&) = delete;
        OwnDialogScope& operator=(const OwnDialogScope&) = delete;

    private:
        ToolWindow& window_;
        bool before_;
    };

private:
    bool ownDialogOpen_ = false;
    bool hidingQuietly_ = false;
};

// A text button with its tool tip.
inline QPushButton* MakeTextButton(const char* caption, const char* toolTip)
{
    auto* button = new QPushButton(QString::fromLatin1(caption));
    if (toolTip)
        button->setToolTip(QString::fromLatin1(toolTip));
    return button;
}
