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

constexpr std::int64_t HeaderChecksumOffset = 333;  // 0x14D
constexpr std::int64_t HeaderSumStart = 308;        // 0x134 .. 0x14C

std::string Hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// The header checksum as stored and as computed: x = x - byte - 1 over
// 0x134-0x14C. Both "n/a" when the file does not hold them.
std::pair<std::string, std::string> HeaderChecksumTexts(const RomFile& rom)
{
    std::array<std::uint8_t, HeaderChecksumOffset - HeaderSumStart + 1> bytes{};
    if (rom.ReadAt(HeaderSumStart, bytes.data(), bytes.size()) != bytes.size())
        return {NotAvailableText, NotAvailableText};
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        sum = static_cast<std::uint8_t>(sum - bytes[i] - 1);
    return {Hex(bytes.back(), 2), Hex(sum, 2)};
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
            const auto [storedHeader, computedHeader] = HeaderChecksumTexts(rom);
            out << "Title: " << RomTitleText(rom) << '\n'
                << "Global checksum: stored " << StoredChecksumText(rom) << ", computed " << Hex(sum.Sum, 1) << '\n'
                << "Header checksum: stored " << storedHeader << ", computed " << computedHeader << '\n';
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
