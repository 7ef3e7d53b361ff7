#include "app/main_form.h"

#include "core/program_state.h"

#include <QMdiArea>

MainForm::MainForm(ProgramState& state, QWidget* parent) : QMainWindow(parent), state_(state), mdiArea_(new QMdiArea)
{
    setWindowTitle(QStringLiteral("Brixel 0.54"));
    setCentralWidget(mdiArea_);
    resize(1024, 768);
}
