#include "ui/floor/child_window.h"

#include "model/core/config_file.h"

#include <QMdiArea>
#include <QMdiSubWindow>

QWidget* ChildFrame(QWidget* window)
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        return frame;
    return window;
}

void SetChildVisible(QWidget* window, bool visible)
{
    if (!window)
        return;
    QWidget* frame = ChildFrame(window);
    if (visible) {
        window->show();
        frame->show();
    } else {
        frame->hide();
    }
}

bool IsChildVisible(const QWidget* window)
{
    if (!window)
        return false;
    return ChildFrame(const_cast<QWidget*>(window))->isVisible();
}

void BringChildForward(QWidget* window)
{
    SetChildVisible(window, true);
    QWidget* frame = ChildFrame(window);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
    frame->raise();
}

void BringChildWindowsIntoView(QMdiArea& area)
{
    const QRect visible = area.viewport()->rect();
    for (QMdiSubWindow* frame : area.subWindowList()) {
        if (!frame->isVisible())
            continue;
        const QRect place = frame->geometry();
        const PixelPoint corner = PlaceWhollyInside({place.x(), place.y(), place.width(), place.height()},
                                                    {visible.x(), visible.y(), visible.width(), visible.height()});
        if (QPoint(corner.X, corner.Y) != place.topLeft())
            frame->move(corner.X, corner.Y);
    }
}
