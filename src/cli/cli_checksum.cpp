#include "cli/cli.h"
#include "cli/cli_args.h"

#include "model/tools/file_info_report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>

namespace {

constexpr std::string_view ChecksumUsage = "Usage: brixel-cli checksum ROM [--fix]\n"
                                           "Prints the Game Boy header's title, the global checksum stored at 0x14E\n"
                                           "and the one computed over the file, and the header checksum stored at\n"
                                           "0x14D and the one computed over 0x134-0x14C. --fix writes the computed\n"
                                           "global checksum into the file.\n";

constexpr std::array<OptionSpec, 1> ChecksumOptions{{{"--fix", false}}};

std::string Hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// The program's messages separate lines with carriage returns.
std::string OneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

}  // namespace

int RunChecksum(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand(
        "checksum", ChecksumUsage, ChecksumOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
            if (parsed.Positionals.size() != 1)
                throw UsageError{"checksum takes one ROM file"};
            RomFile rom;
            OpenRom(rom, parsed.Positionals[0], err);
            const ChecksumSum sum = SumGameBoyRom(rom, rom.Length(), {});
            if (!sum.Complete)
                throw CliFailure{OneLine(ChecksumReadFailedText)};
            const HeaderChecksum header = HeaderChecksumTexts(rom);
            out << "Title: " << RomTitleText(rom) << '\n'
                << "Global checksum: stored " << StoredChecksumText(rom) << ", computed " << Hex(sum.Sum, 1) << '\n'
                << "Header checksum: stored " << header.Stored << ", computed " << header.Computed << '\n';
            if (!parsed.Has("--fix"))
                return ExitOk;
            if (!rom.IsWritable())
                throw CliFailure{parsed.Positionals[0] + " is read-only; nothing was written"};
            if (const auto message = RepairGameBoyChecksumFromSum(rom, rom.Length(), sum))
                throw CliFailure{OneLine(message->Text)};
            out << "Global checksum written: " << Hex(sum.Sum, 1) << '\n';
            return ExitOk;
        });
}
