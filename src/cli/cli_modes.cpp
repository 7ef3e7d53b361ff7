#include "cli/cli.h"
#include "cli/cli_args.h"

#include "model/core/mode_short_names.h"

#include <ostream>

namespace {

constexpr std::string_view ModesUsage = "Usage: brixel-cli modes\n"
                                        "Lists the graphics modes, one a line: short name (for --mode), bytes per\n"
                                        "tile, bits per pixel and the program's name of the mode, tab-separated.\n";

}  // namespace

int RunModes(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("modes", ModesUsage, {}, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (!parsed.Positionals.empty())
            throw UsageError{"modes takes no arguments"};
        for (const ModeShortNameEntry& name : ModeShortNames) {
            const ModeInfo& info = StandardModes[name.Mode];
            out << name.Short << '\t' << info.BytesPerTile << '\t' << int{info.BitsPerPixel} << '\t' << info.Name
                << '\n';
        }
        return ExitOk;
    });
}
