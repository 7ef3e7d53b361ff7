#include "app/main_form.h"
#include "browser/brow_ctrl.h"
#include "core/program_state.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char* const Usage = "Usage: %s [ROMFILE]\n"
                          "Brixel 0.54, an editor for the tile graphics inside game-console ROM images.\n"
                          "ROMFILE is opened at start, as if chosen in the open dialog.\n";

bool AsksForHelp(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Answered before Qt starts, so it works without a display.
    if (AsksForHelp(argc, argv)) {
        std::printf(Usage, argc > 0 ? argv[0] : "brixel");
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brixel"));

    ProgramState state;
    MainForm mainForm(state);
    mainForm.show();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        mainForm.AllWindows().BrowCtrl->OpenChosenFile(arguments.at(1).toStdString());

    return QApplication::exec();
}
