#pragma once

#include <QWidget>

class QLabel;

// The about window: one 400 x 80 picture. A click on it, or its losing the
// focus, hides it.
class Help : public QWidget {
    Q_OBJECT

public:
    explicit Help(QWidget* parent = nullptr);

    // Shows the window above the main window and gives it the focus.
    void ShowHelp();
    // Hides the window when it loses the focus.
    void Form_Deactivate();

    QLabel* Picture;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The about picture, drawn at run time.
QPixmap DrawAboutPicture();
