#pragma once

#include <QMainWindow>

class QMdiArea;
struct ProgramState;

// The main window: holds the working windows as children of its MDI area.
class MainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit MainForm(ProgramState& state, QWidget* parent = nullptr);

    QMdiArea* MdiArea() const { return mdiArea_; }

private:
    ProgramState& state_;
    QMdiArea* mdiArea_;
};
