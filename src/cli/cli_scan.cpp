#include "cli/cli.h"
#include "cli/cli_args.h"

#include "model/codec/stream_codecs.h"
#include "model/codec/stream_scan.h"
#include "model/core/number_text.h"
#include "model/core/rom_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <ostream>

namespace {

constexpr std::string_view ScanUsageHead =
    "Usage: brixel-cli scan ROM [--codec all|NAME] [--every-address] [--min-size N]\n"
    "                       [--max-size N]\n"
    "Looks for compressed streams in the ROM with every codec (the default) or\n"
    "one, and prints one stream per line, the longest unpacked data first:\n"
    "  ADDRESS CODEC PACKED UNPACKED TILES\n"
    "the address, the codec's name, the sizes in bytes, and whether the\n"
    "unpacked size is a whole number of 32-byte tiles. Each codec tries the\n"
    "multiples of its alignment (4 for the GBA BIOS formats) unless\n"
    "--every-address. Streams that unpack to fewer bytes than --min-size\n"
    "(default 256) or more than --max-size (default 65536) are not listed, nor\n"
    "any beyond the 10000 longest.\n"
    "Codecs: ";

const std::string& ScanUsage()
{
    static const std::string usage = std::string(ScanUsageHead) + StreamCodecShortNames() + ".\n";
    return usage;
}

constexpr std::array<OptionSpec, 4> ScanOptions{
    {{"--codec", true}, {"--every-address", false}, {"--min-size", true}, {"--max-size", true}}};

// --NAME N: a byte count from 1 to the largest stream a codec unpacks.
std::size_t SizeOption(const ParsedArgs& parsed, std::string_view name, std::size_t fallback)
{
    if (!parsed.Has(name))
        return fallback;
    const auto size = ParsePositive(parsed.Required(name), static_cast<int>(DefaultUnpackLimit));
    if (!size)
        throw UsageError{std::string(name) + " wants a byte count from 1 to " + std::to_string(DefaultUnpackLimit)};
    return static_cast<std::size_t>(*size);
}

static_assert(WholeTileBytes == 32 && StreamScanOptions{}.MinUnpackedSize == 256 &&
                  StreamScanOptions{}.MaxUnpackedSize == 65536 && StreamScanOptions{}.MaxResults == 10000,
              "the usage names the tile size, the sizes listed and the most streams listed");

std::vector<const StreamCodec*> CodecsOption(const ParsedArgs& parsed)
{
    const std::string name = parsed.ValueOr("--codec", "all");
    if (name == "all") {
        const auto all = StreamCodecs();
        return {all.begin(), all.end()};
    }
    return {&CodecOption(parsed)};
}

// The table: text columns left-aligned, numbers right-aligned, two spaces
// between columns and none after the last.
void PrintTable(const std::vector<FoundStream>& streams, std::ostream& out)
{
    std::vector<std::array<std::string, 5>> rows = {{"ADDRESS", "CODEC", "PACKED", "UNPACKED", "TILES"}};
    for (const FoundStream& stream : streams)
        rows.push_back({HexText(stream.Address), stream.Codec->ShortName, std::to_string(stream.PackedLength),
                        std::to_string(stream.UnpackedLength), stream.WholeTiles ? "yes" : "no"});
    std::array<std::size_t, 5> widths{};
    for (const auto& row : rows)
        for (std::size_t c = 0; c < widths.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string padding(widths[c] - row[c].size(), ' ');
            const bool number = c == 2 || c == 3;
            line += (c > 0 ? "  " : "") + (number ? padding + row[c] : row[c] + (c + 1 < row.size() ? padding : ""));
        }
        out << line << '\n';
    }
}

}  // namespace

int RunScan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("scan", ScanUsage(), ScanOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (parsed.Positionals.size() != 1)
            throw UsageError{"scan takes one ROM file"};
        const std::vector<const StreamCodec*> codecs = CodecsOption(parsed);
        StreamScanOptions options;
        options.EveryAddress = parsed.Has("--every-address");
        options.MinUnpackedSize = SizeOption(parsed, "--min-size", options.MinUnpackedSize);
        options.MaxUnpackedSize = SizeOption(parsed, "--max-size", options.MaxUnpackedSize);

        RomFile rom;
        OpenRom(rom, parsed.Positionals[0], err);
        const std::atomic<bool> never{false};
        const StreamScanResult result = ScanForStreams(RomFileSource(rom), codecs, options, never);
        if (result.Streams.empty()) {
            out << "no compressed streams found\n";
            return ExitOk;
        }
        PrintTable(result.Streams, out);
        if (result.Truncated)
            err << "brixel-cli: note: only the " << options.MaxResults << " longest streams are listed\n";
        return ExitOk;
    });
}
