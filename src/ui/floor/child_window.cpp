#include "ui/floor/child_window.h"

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
