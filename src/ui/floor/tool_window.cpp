#include "ui/floor/tool_window.h"

#include "model/core/config_file.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMargins>
#include <QScopedValueRollback>
#include <QScreen>
#include <QVariant>

#include <optional>

namespace {

PixelRect GlobalRect(const QWidget& widget)
{
    const QPoint corner = widget.mapToGlobal(QPoint(0, 0));
    return {corner.x(), corner.y(), widget.width(), widget.height()};
}

// A hidden floating window's offset from its main window, which it takes
// again when it is next shown, and the place it stood at when the offset was
// taken: a window placed anew since then goes to its new place instead.
constexpr const char* WaitingOffsetProperty = "brixelWaitingOffset";
constexpr const char* WaitingFromProperty = "brixelWaitingFrom";

void SetWaitingOffset(QWidget& window, QPoint offset)
{
    window.setProperty(WaitingOffsetProperty, offset);
    window.setProperty(WaitingFromProperty, window.pos());
}

std::optional<QPoint> WaitingOffset(const QWidget& window)
{
    const QVariant offset = window.property(WaitingOffsetProperty);
    if (!offset.isValid() || window.isVisible() || window.property(WaitingFromProperty).toPoint() != window.pos())
        return std::nullopt;
    return offset.toPoint();
}

// The widths of the frame a window had when the window system last framed
// it: it unframes a hidden window.
constexpr const char* LastFrameProperty = "brixelLastFrame";

// Takes a floating window's offset from its main window when it hides, so
// that it shows at that offset again wherever the main window went, and
// keeps the widths of its frame.
class OffsetKeeper : public QObject {
public:
    static inline const QString Name = QStringLiteral("OffsetKeeper");

    static void Watch(QWidget& window)
    {
        if (!window.findChild<OffsetKeeper*>(Name, Qt::FindDirectChildrenOnly))
            window.installEventFilter(new OffsetKeeper(window));
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Hide:
            SetWaitingOffset(window_, window_.pos() - MainWindowCorner(window_));
            [[fallthrough]];
        case QEvent::Show:
        case QEvent::Move:
            if (const QMargins frame = CurrentFrame(window_); !frame.isNull())
                window_.setProperty(LastFrameProperty, QVariant::fromValue(frame));
            break;
        default:
            break;
        }
        return false;
    }

private:
    explicit OffsetKeeper(QWidget& window) : QObject(&window), window_(window) { setObjectName(Name); }

    QWidget& window_;
};

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

QMargins CurrentFrame(const QWidget& window)
{
    const QRect client = window.geometry();
    const QRect frame = window.frameGeometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

QMargins LikelyFrame(const QWidget& window)
{
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint))
        return {};
    if (const QMargins known = CurrentFrame(window); !known.isNull())
        return known;
    if (const QVariant last = window.property(LastFrameProperty); last.isValid())
        return last.value<QMargins>();
    const QWidget* owner = OwnerOf(window);
    return owner ? CurrentFrame(*owner) : QMargins();
}

void MoveFrameTo(QWidget& window, QPoint corner)
{
    // Qt counts a window's position from its frame only while it knows the
    // frame, or before it has made the window; otherwise the point given
    // places the client area.
    const bool frameUnknown = window.testAttribute(Qt::WA_WState_Created) && CurrentFrame(window).isNull();
    const QMargins frame = frameUnknown ? LikelyFrame(window) : QMargins();
    window.move(corner + QPoint(frame.left(), frame.top()));
}

QPoint MainWindowCorner(const QWidget& window)
{
    // A window's position is that of its frame.
    const QWidget* owner = OwnerOf(window);
    return owner ? owner->pos() : QPoint();
}

void SetToolWindowOffset(QWidget& window, QPoint offset)
{
    MoveFrameTo(window, PlaceAtOffset(window, offset));
    if (!window.isVisible())
        SetWaitingOffset(window, offset);
}

QPoint ToolWindowOffset(QWidget& window)
{
    if (const std::optional<QPoint> waiting = WaitingOffset(window))
        return *waiting;
    return ToolWindowPosition(window) - MainWindowCorner(window);
}

void ShowToolWindow(QWidget& window)
{
    if (const std::optional<QPoint> waiting = WaitingOffset(window))
        MoveFrameTo(window, PlaceAtOffset(window, *waiting));
    else if (!window.testAttribute(Qt::WA_Moved))
        window.move(DefaultToolPosition(window));
    OffsetKeeper::Watch(window);
    window.show();
    window.raise();
    window.activateWindow();
}

ToolWindow::ToolWindow(QWidget* parent, Qt::WindowFlags extraFlags) : QWidget(parent, Qt::Tool | extraFlags) {}

void ToolWindow::ShowTool()
{
    if (!testAttribute(Qt::WA_Moved))
        if (const std::optional<QPoint> place = FirstPlace())
            move(*place);
    ShowToolWindow(*this);
}

QPoint BesideWindow(QWidget& window, const QWidget& anchor)
{
    if (!window.testAttribute(Qt::WA_Resized))
        window.adjustSize();
    const QRect other(anchor.mapToGlobal(QPoint(0, 0)), anchor.size());
    const QSize frame = window.frameGeometry().size();
    const ScreenRect screen = AvailableScreen(&anchor);
    int left = other.right() + 8;
    if (left + frame.width() > screen.X + screen.Width)
        left = other.left() - 8 - frame.width();
    const PixelPoint corner =
        PlaceWhollyInside({left, other.top(), frame.width(), frame.height()}, screen);
    return {corner.X, corner.Y};
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
