#include "model/core/command_line.h"

#include <gtest/gtest.h>

namespace {

using Action = CommandLine::Action;

CommandLine Parse(std::vector<std::string> arguments)
{
    return ParseCommandLine(arguments);
}

}  // namespace

TEST(CommandLineTest, FileNamesAndNone)
{
    EXPECT_EQ(Parse({}).What, Action::Run);
    EXPECT_EQ(Parse({}).RomPath, "");
    EXPECT_EQ(Parse({"game.gb"}).RomPath, "game.gb");
    // "--" ends the options; a lone "-" is a name.
    EXPECT_EQ(Parse({"--", "-odd.gb"}).RomPath, "-odd.gb");
    EXPECT_EQ(Parse({"-"}).RomPath, "-");
    // Qt's own options and their values are not file names.
    const CommandLine withQt = Parse({"-platform", "offscreen", "rom.gba", "-reverse"});
    EXPECT_EQ(withQt.What, Action::Run);
    EXPECT_EQ(withQt.RomPath, "rom.gba");
    EXPECT_EQ(Parse({"--style", "fusion"}).RomPath, "");
}

TEST(CommandLineTest, HelpAndVersion)
{
    EXPECT_EQ(Parse({"--help"}).What, Action::Help);
    EXPECT_EQ(Parse({"game.gb", "-h"}).What, Action::Help);
    EXPECT_EQ(Parse({"--version"}).What, Action::Version);
    EXPECT_EQ(Parse({"--version", "game.gb"}).RomPath, "");
    EXPECT_EQ(Parse({"--print-manual-tables"}).What, Action::PrintManualTables);
    EXPECT_EQ(VersionText(), "Brixel 0.54");
    const std::string usage = UsageText("/usr/bin/brixel");
    EXPECT_EQ(usage.substr(0, usage.find('\n')), "Usage: /usr/bin/brixel [ROMFILE]");
    EXPECT_NE(usage.find("--version"), std::string::npos);
}

TEST(CommandLineTest, MisuseNamesTheProblem)
{
    const CommandLine two = Parse({"a.gb", "b.gb"});
    EXPECT_EQ(two.What, Action::Misuse);
    EXPECT_EQ(two.Problem, "more than one file name given");
    EXPECT_EQ(two.RomPath, "");
    EXPECT_EQ(Parse({"--", "a.gb", "b.gb"}).What, Action::Misuse);

    const CommandLine unknown = Parse({"--frobnicate", "a.gb"});
    EXPECT_EQ(unknown.What, Action::Misuse);
    EXPECT_EQ(unknown.Problem, "unknown option '--frobnicate'");
    EXPECT_EQ(Parse({"-x"}).Problem, "unknown option '-x'");
    // An unknown option before --help is still a misuse.
    EXPECT_EQ(Parse({"-x", "--help"}).What, Action::Misuse);

    const CommandLine noValue = Parse({"game.gb", "-platform"});
    EXPECT_EQ(noValue.What, Action::Misuse);
    EXPECT_EQ(noValue.Problem, "option '-platform' needs a value");
    EXPECT_EQ(ExitMisuse, 2);
}
