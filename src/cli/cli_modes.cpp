#include "cli/cli.h"
#include "cli/cli_args.h"

#include <array>
#include <ostream>

namespace {

struct ModeName {
    std::string_view Short;
    GraphicsMode Mode;
};

// In the order of the program's mode list. SNES 2bpp tiles are stored like
// the Game Boy's and have no mode of their own: they are "gb".
constexpr std::array<ModeName, ModeCount> ModeNames{{
    {"1bpp", ModeOneBit},
    {"gb", ModeGameboy},
    {"nes", ModeNes},
    {"vb", ModeVirtualBoy},
    {"gba4", ModeGba4bpp},
    {"gba8", ModeGba8bpp},
    {"snes4", ModeSnes4bpp},
    {"snes3", ModeSnes3bpp},
    {"snes8", ModeSnes8bpp},
    {"ngp", ModeNeoGeoPocket},
    {"genesis", ModeSegaGenesis},
    {"gg", ModeGgMsWsc},
}};

constexpr std::string_view ModesUsage = "Usage: brixel-cli modes\n"
                                        "Lists the graphics modes, one a line: short name (for --mode), bytes per\n"
                                        "tile, bits per pixel and the program's name of the mode, tab-separated.\n";

}  // namespace

std::string_view ModeShortName(GraphicsMode mode)
{
    for (const ModeName& name : ModeNames)
        if (name.Mode == mode)
            return name.Short;
    return {};
}

std::optional<GraphicsMode> ModeFromShortName(std::string_view text)
{
    for (const ModeName& name : ModeNames)
        if (name.Short == text)
            return name.Mode;
    return std::nullopt;
}

int RunModes(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("modes", ModesUsage, {}, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (!parsed.Positionals.empty())
            throw UsageError{"modes takes no arguments"};
        for (const ModeName& name : ModeNames) {
            const ModeInfo& info = StandardModes[name.Mode];
            out << name.Short << '\t' << info.BytesPerTile << '\t' << int{info.BitsPerPixel} << '\t' << info.Name
                << '\n';
        }
        return ExitOk;
    });
}
