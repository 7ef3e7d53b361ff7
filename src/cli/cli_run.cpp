#include "cli/cli.h"

#include <array>
#include <ostream>

namespace {

using Subcommand = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct NamedSubcommand {
    std::string_view Name;
    Subcommand Run;
};

constexpr std::array<NamedSubcommand, 11> Subcommands{{
    {"modes", &RunModes},
    {"decode", &RunDecode},
    {"encode", &RunEncode},
    {"tilemap", &RunTilemap},
    {"checksum", &RunChecksum},
    {"palette", &RunPalette},
    {"find", &RunFind},
    {"scan", &RunScan},
    {"unpack", &RunUnpack},
    {"pack", &RunPack},
    {"rompalette", &RunRomPalette},
}};

constexpr std::string_view MainUsage = "Usage: brixel-cli COMMAND [OPTIONS]\n"
                                       "Tile graphics and palettes of ROM images without the editor's windows.\n"
                                       "\n"
                                       "Commands:\n"
                                       "  modes      list the graphics modes and their short names\n"
                                       "  decode     write tiles of a ROM as an indexed PNG\n"
                                       "  encode     write the tiles of an indexed PNG into a ROM in place\n"
                                       "  tilemap    draw a tilemap of a ROM and its tiles as an indexed PNG\n"
                                       "  checksum   show (and with --fix repair) the Game Boy checksums\n"
                                       "  palette    convert a palette file to another format\n"
                                       "  find       find the tiles of a picture in a ROM, at any offset and mode\n"
                                       "  scan       list the compressed streams of a ROM\n"
                                       "  unpack     write the data of a compressed stream of a ROM to a file\n"
                                       "  pack       pack a file into a compressed stream\n"
                                       "  rompalette read or write the colors stored at an address of a ROM\n"
                                       "\n"
                                       "'brixel-cli COMMAND --help' describes a command. Exit status: 0 done,\n"
                                       "1 the work failed, 2 the command line was wrong.\n";

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.empty()) {
        err << "brixel-cli: no command given\n" << MainUsage;
        return ExitUsage;
    }
    const std::string& command = arguments.front();
    if (command == "--help" || command == "-h") {
        out << MainUsage;
        return ExitOk;
    }
    for (const NamedSubcommand& subcommand : Subcommands)
        if (subcommand.Name == command)
            return subcommand.Run({arguments.begin() + 1, arguments.end()}, out, err);
    err << "brixel-cli: unknown command '" << command << "'\nTry 'brixel-cli --help'.\n";
    return ExitUsage;
}
