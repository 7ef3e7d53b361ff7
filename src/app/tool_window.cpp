#include "app/tool_window.h"

#include "core/config_file.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QScopedValueRollback>
#include <QScreen>
#include <QVariant>

namespace {

PixelRect GlobalRect(const QWidget& widget)
{
    const QPoint corner = widget.mapToGlobal(QPoint(0, 0));
    return {corner.x(), corner.y(), widget.width(), widget.height()};
}

// The offset a hidden floating window takes when it is next shown.
constexpr const char* WaitingOffsetProperty = "brixelWaitingOffset";

const QWidget* OwnerOf(const QWidget& window)
{
    return window.parentWidget() ? window.parentWidget()->window() : nullptr;
}

QPoint PlaceAtOffset(QWidget& window, QPoint offset)
{
    const QPoint corner = MainWindowCorner(window);
    const PixelPoint place =
        FloatingPosition({offset.x(), offset.y()}, {corner.x(), corner.y()}, AvailableScreen(OwnerOf(window)));
    return {place.X, place.Y};
}

}  // namespace

ScreenRect AvailableScreen(const QWidget* window)
{
    const QScreen* screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 0, 1 << 15, 1 << 15};
    const QRect area = screen->availableGeometry();
    return {area.x(), area.y(), area.width(), area.height()};
}

QPoint DefaultToolPosition(QWidget& window)
{
    QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    if (!owner)
        return window.pos();
    // The size a first show would give the window.
    if (!window.testAttribute(Qt::WA_Resized))
        window.adjustSize();
    const auto* mainWindow = qobject_cast<const QMainWindow*>(owner);
    const QWidget* work = mainWindow && mainWindow->centralWidget() ? mainWindow->centralWidget() : owner;
    // Before its first show a window's frame is unknown; the main window's
    // frame is the best guess for it.
    QSize frame = window.frameGeometry().size();
    if (frame == window.size())
        frame += owner->frameGeometry().size() - owner->size();
    const PixelPoint place =
        DefaultFloatingPosition(GlobalRect(*work), {frame.width(), frame.height()}, AvailableScreen(owner));
    return {place.X, place.Y};
}

QPoint ToolWindowPosition(QWidget& window)
{
    // Qt marks a window moved once the program (or a restored layout) has
    // placed it; the first show below places every window it shows.
    return window.testAttribute(Qt::WA_Moved) ? window.pos() : DefaultToolPosition(window);
}

QPoint MainWindowCorner(const QWidget& window)
{
    // A window's position is that of its frame.
    const QWidget* owner = OwnerOf(window);
    return owner ? owner->pos() : QPoint();
}

void SetToolWindowOffset(QWidget& window, QPoint offset)
{
    window.move(PlaceAtOffset(window, offset));
    window.setProperty(WaitingOffsetProperty, window.isVisible() ? QVariant() : QVariant(offset));
}

QPoint ToolWindowOffset(QWidget& window)
{
    // A window shown by other means stands where it is.
    const QVariant waiting = window.property(WaitingOffsetProperty);
    if (waiting.isValid() && !window.isVisible())
        return waiting.toPoint();
    return ToolWindowPosition(window) - MainWindowCorner(window);
}

void ShowToolWindow(QWidget& window)
{
    const QVariant waiting = window.property(WaitingOffsetProperty);
    if (waiting.isValid()) {
        window.move(PlaceAtOffset(window, waiting.toPoint()));
        window.setProperty(WaitingOffsetProperty, QVariant());
    } else if (!window.testAttribute(Qt::WA_Moved)) {
        window.move(DefaultToolPosition(window));
    }
    window.show();
    window.raise();
    window.activateWindow();
}

ToolWindow::ToolWindow(QWidget* parent, Qt::WindowFlags extraFlags) : QWidget(parent, Qt::Tool | extraFlags) {}

void ToolWindow::ShowTool()
{
    ShowToolWindow(*this);
}

void ToolWindow::Form_Deactivate()
{
    if (!ownDialogOpen_)
        hide();
}

bool ToolWindow::IsActiveTool() const
{
    return QApplication::activeWindow() == this;
}

void ToolWindow::HideQuietly()
{
    const QScopedValueRollback<bool> hiding(hidingQuietly_, true);
    hide();
}

void ToolWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isVisible()) {
        if (IsActiveTool())
            Form_Activate();
        else if (!hidingQuietly_)
            Form_Deactivate();
    }
    QWidget::changeEvent(event);
}
