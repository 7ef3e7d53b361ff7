#include "app/main_form.h"
#include "core/program_state.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brixel"));

    ProgramState state;
    InitState(state);

    MainForm mainForm(state);
    mainForm.show();
    return QApplication::exec();
}
