#include "model/core/command_line.h"
#include "ui/app/main_form.h"
#include "ui/app/manual_tables.h"
#include "ui/floor/program_settings.h"
#include "model/core/program_state.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    const std::string program = argc > 0 ? argv[0] : "brixel";
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    // Answered before Qt starts, so these work without a display.
    switch (line.What) {
    case CommandLine::Action::Help:
        std::fputs(UsageText(program).c_str(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("%s\n", VersionText().c_str());
        return 0;
    case CommandLine::Action::PrintManualTables:
        std::fputs(ManualKeyAndMenuLists().c_str(), stdout);
        return 0;
    case CommandLine::Action::Misuse:
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), line.Problem.c_str(), UsageText(program).c_str());
        return ExitMisuse;
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brixel"));

    ProgramState state;
    MainForm mainForm(state);
    // The program's own settings, read here and not by the window, so that
    // tests that make windows start from the defaults.
    const QSettings settings(ProgramSettingsPath(), QSettings::IniFormat);
    state.BrowserLayout = StoredBrowserLayout(settings);
    state.HexAddresses = StoredHexAddresses(settings);
    mainForm.show();
    if (!line.RomPath.empty())
        mainForm.OpenStartFile(line.RomPath);

    return QApplication::exec();
}
