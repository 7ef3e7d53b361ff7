#include "cli/cli.h"
#include "cli/cli_args.h"
#include "cli/cli_stream.h"

#include "model/core/number_text.h"
#include "model/core/rom_file.h"

#include <array>
#include <ostream>

namespace {

constexpr std::string_view DecodeUsage =
    "Usage: brixel-cli decode ROM --mode MODE --address A --count N [--columns C]\n"
    "                         [--layout WxH[,col]] [--palette FILE]\n"
    "                         [--palette-size all|mode] -o OUT.png\n"
    "Writes N tiles of the ROM, from address A on, as an indexed PNG: C tiles a\n"
    "row (default 16), left to right, top to bottom; cells after the last tile\n"
    "hold index 0. MODE is a short name of 'brixel-cli modes'; A is decimal or\n"
    "hexadecimal after 0x, $ or &H. The palette comes from a palette file or\n"
    "savestate (by its extension), else the program's default palette; the PNG\n"
    "holds all 256 colors, or with --palette-size mode the first 2^bpp.\n"
    "The PNG records MODE, A, N and C in text chunks (\"Brixel mode\", \"Brixel\n"
    "address\", \"Brixel count\", \"Brixel columns\"), so that encode writes back\n"
    "exactly these N tiles. -o - writes the PNG to standard output.\n"
    "--codec C --stream S read the tiles from the unpacked bytes of the\n"
    "compressed stream at file address S (see 'brixel-cli scan'); A then counts\n"
    "in those bytes, and the PNG records the stream too.\n"
    "--layout WxH lays the tiles out in blocks of W x H tiles (1 to 8 each),\n"
    "row by row inside a block, or column by column with ',col' (8x16 sprites\n"
    "are 1x2, Mega Drive sprites 2x2,col to 4x4,col); C must be a multiple of W.\n"
    "The PNG records the layout (\"Brixel layout\") for encode.\n";

constexpr std::array<OptionSpec, 10> DecodeOptions{{
    {"--layout", true},
    {"--codec", true},
    {"--stream", true},
    {"--mode", true},
    {"--address", true},
    {"--count", true},
    {"--columns", true},
    {"--palette", true},
    {"--palette-size", true},
    {"-o", true},
}};

// The smallest PNG depth that holds indices of this many bits.
int PngDepthFor(int bitsPerPixel)
{
    return bitsPerPixel <= 1 ? 1 : bitsPerPixel <= 2 ? 2 : bitsPerPixel <= 4 ? 4 : 8;
}

}  // namespace

std::vector<PngText> SheetRecordTexts(const TileRun& run)
{
    std::vector<PngText> texts{{std::string(RecordModeKey), std::string(ModeShortName(run.Mode))},
                               {std::string(RecordAddressKey), HexText(run.Address)},
                               {std::string(RecordCountKey), std::to_string(run.Count)},
                               {std::string(RecordColumnsKey), std::to_string(run.Columns)}};
    // Sheets in the row order carry the four texts they always had.
    if (run.Layout != TileLayout{})
        texts.push_back({std::string(RecordLayoutKey), TileLayoutText(run.Layout)});
    return texts;
}

int RunDecode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("decode", DecodeUsage, DecodeOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (parsed.Positionals.size() != 1)
            throw UsageError{"decode takes one ROM file"};
        TileRun run;
        run.Mode = ModeOption(parsed);
        run.Address = AddressOption(parsed);
        const auto count = ParsePositive(parsed.Required("--count"), INT32_MAX / MaxBytesPerTile);
        if (!count)
            throw UsageError{"--count must be a whole number of tiles, 1 or more"};
        run.Count = *count;
        const auto columns = ParsePositive(parsed.ValueOr("--columns", "16"), MaxPngSide / 8);
        if (!columns)
            throw UsageError{"--columns must be a whole number from 1 to " + std::to_string(MaxPngSide / 8)};
        run.Columns = *columns;
        run.Layout = LayoutOption(parsed);
        if (run.Columns % run.Layout.BlockWidth != 0)
            throw UsageError{"--columns " + std::to_string(run.Columns) + " does not hold whole blocks of --layout " +
                             TileLayoutText(run.Layout) + ": give a multiple of " +
                             std::to_string(run.Layout.BlockWidth)};
        const std::string paletteSize = parsed.ValueOr("--palette-size", "all");
        if (paletteSize != "all" && paletteSize != "mode")
            throw UsageError{"--palette-size takes 'all' or 'mode'"};
        const std::optional<StreamChoice> stream = StreamOptions(parsed);
        const std::string& output = parsed.Required("-o");
        CheckOutputTarget(output);

        const Palette256 colors = PaletteOption(parsed);

        RomFile rom;
        OpenRom(rom, parsed.Positionals[0], err);
        IndexedImage image;
        const std::unique_ptr<StreamView> view = stream ? OpenStreamView(rom, *stream, true) : nullptr;
        if (auto problem = DecodeRomTiles(view ? static_cast<const TileStore&>(*view) : rom, run, image))
            throw CliFailure{*problem};
        const int bits = StandardModes[run.Mode].BitsPerPixel;
        const std::size_t entries = paletteSize == "mode" ? std::size_t{1} << bits : colors.size();
        image.Palette.assign(colors.begin(), colors.begin() + static_cast<std::ptrdiff_t>(entries));
        image.BitDepth = paletteSize == "mode" ? PngDepthFor(bits) : 8;
        image.Texts = SheetRecordTexts(run);
        if (stream)
            for (PngText& text : StreamRecordTexts(*stream))
                image.Texts.push_back(std::move(text));
        std::string reason;
        const std::vector<std::uint8_t> png = EncodeIndexedPng(image, &reason);
        if (png.empty())
            throw CliFailure{"could not write " + OutputName(output) + ": " + reason};
        WriteOutput(output, png, out);
        return ExitOk;
    });
}
