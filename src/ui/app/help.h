#pragma once

#include "ui/floor/tool_window.h"

class QLabel;

// The about window: one 400 x 80 picture. A click on it, or its losing the
// focus, hides it.
class Help : public ToolWindow {
    Q_OBJECT

public:
    explicit Help(QWidget* parent = nullptr);

    // Shows the window over the middle of the main window and gives it the
    // focus.
    void ShowHelp();

    QLabel* Picture;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The about picture, drawn at run time.
QPixmap DrawAboutPicture();
