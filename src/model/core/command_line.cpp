#include "model/core/command_line.h"

#include <algorithm>
#include <array>

namespace {

struct QtOption {
    std::string_view Name;
    bool TakesValue;
};

// The options QApplication takes out of the argument list itself.
constexpr std::array<QtOption, 12> QtOptions{{
    {"-platform", true},
    {"-platformpluginpath", true},
    {"-platformtheme", true},
    {"-plugin", true},
    {"-style", true},
    {"-stylesheet", true},
    {"-session", true},
    {"-display", true},
    {"-qwindowgeometry", true},
    {"-qwindowtitle", true},
    {"-reverse", false},
    {"-widgetcount", false},
}};

const QtOption* FindQtOption(std::string_view argument)
{
    // Qt accepts its options with one dash or two.
    if (argument.starts_with("--"))
        argument.remove_prefix(1);
    const auto found =
        std::find_if(QtOptions.begin(), QtOptions.end(), [&](const QtOption& o) { return o.Name == argument; });
    return found == QtOptions.end() ? nullptr : &*found;
}

CommandLine Misuse(std::string problem)
{
    CommandLine line;
    line.What = CommandLine::Action::Misuse;
    line.Problem = std::move(problem);
    return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            line.What = CommandLine::Action::Help;
            return line;
        } else if (argument == "--version") {
            line.What = CommandLine::Action::Version;
        } else if (argument == "--print-manual-tables") {
            line.What = CommandLine::Action::PrintManualTables;
        } else if (const QtOption* option = FindQtOption(argument)) {
            if (option->TakesValue && ++i >= arguments.size())
                return Misuse("option '" + argument + "' needs a value");
        } else {
            return Misuse("unknown option '" + argument + "'");
        }
    }
    if (files.size() > 1)
        return Misuse("more than one file name given");
    if (line.What == CommandLine::Action::Run && !files.empty())
        line.RomPath = files.front();
    return line;
}

std::string UsageText(std::string_view program)
{
    return "Usage: " + std::string(program) + " [ROMFILE]\n" + VersionText() +
           ", an editor for the tile graphics inside game-console ROM images.\n"
           "ROMFILE is opened at start, as if chosen in the open dialog.\n"
           "Options:\n"
           "  -h, --help   show this text and exit\n"
           "  --version    show the version and exit\n";
}

std::string VersionText()
{
    return "Brixel 0.54";
}

std::string FileNotFoundText(const std::string& path)
{
    return "File not found: " + path;
}
