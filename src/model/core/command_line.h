#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the program's arguments ask for. Read before Qt starts, so that
// --help, --version and a wrong call answer without a display.
struct CommandLine {
    enum class Action {
        Run,      // start the program, with RomPath opened when it is set
        Help,     // print the usage to standard output, exit 0
        Version,  // print "Brixel 0.54", exit 0
        Misuse,   // print Problem and the usage to standard error, exit 2
        // print the user's manual's lists of menus and keys (markdown), exit 0
        PrintManualTables,
    };
    Action What = Action::Run;
    std::string RomPath;
    std::string Problem;
};

inline constexpr int ExitMisuse = 2;

// arguments: everything after the program name. Options of Qt itself
// (-platform NAME, -style NAME, ...) pass through to Qt; "--" ends the
// options, so a file whose name starts with "-" can still be given.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text, naming the program as it was called.
std::string UsageText(std::string_view program);

// "Brixel 0.54"
std::string VersionText();

// The information line after a start-up file name that names nothing.
std::string FileNotFoundText(const std::string& path);
