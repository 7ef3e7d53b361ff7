#include "cli/cli.h"
#include "cli/cli_args.h"
#include "cli/cli_stream.h"

#include "model/core/number_text.h"
#include "model/core/rgba_png.h"
#include "model/core/rom_file.h"
#include "model/editor/color_mapping.h"

#include <array>
#include <ostream>

namespace {

constexpr std::string_view EncodeUsage =
    "Usage: brixel-cli encode IMAGE.png ROM [--mode MODE] [--address A] [--count N]\n"
    "                         [--layout WxH[,col]] [--dry-run]\n"
    "Writes the tiles of an indexed PNG into the ROM in place, from address A\n"
    "on: the image's 8x8 cells left to right, top to bottom. Both sides must be\n"
    "multiples of 8 and every index must fit the mode (below 2^bpp); otherwise\n"
    "nothing is written. The ROM's length never changes. --dry-run only prints\n"
    "what would change.\n"
    "A PNG made by decode records its mode, address and tile count: MODE and A\n"
    "default to them, and only those tiles are written, never the blank cells\n"
    "after them. --count N writes the first N cells instead. Options given win\n"
    "over the record; a note says where they differ. A PNG without the record\n"
    "needs --mode and --address, and all its cells are written (a note says so\n"
    "unless --count is given).\n"
    "--codec C --stream S write into the unpacked bytes of the compressed\n"
    "stream at file address S: the stream is packed again and written in\n"
    "place, refused when it no longer fits the room it had. A PNG decoded from\n"
    "a stream goes back into it unless --codec and --stream say otherwise.\n"
    "--no-vram-safe lets the LZ codecs copy from the byte just written.\n"
    "--layout WxH[,col] takes the cells block after block (see decode); a PNG\n"
    "decoded in a layout is read in that layout unless --layout says otherwise.\n"
    "A truecolor or grayscale PNG (it needs --mode and --address) has each pixel\n"
    "mapped onto the nearest of the first 2^bpp colors of the default palette,\n"
    "or of --palette FILE (any palette file brixel-cli palette reads);\n"
    "transparent pixels take index 0. A note tells how many pixels were not an\n"
    "exact match and the largest color error (distance in RGB).\n"
    "--build-palette takes the picture's own colors as indices instead, in order\n"
    "of first appearance (transparency index 0), refused when it has more than\n"
    "2^bpp colors.\n";

constexpr std::array<OptionSpec, 10> EncodeOptions{{
    {"--layout", true},
    {"--codec", true},
    {"--stream", true},
    {"--no-vram-safe", false},
    {"--mode", true},
    {"--address", true},
    {"--count", true},
    {"--dry-run", false},
    {"--palette", true},
    {"--build-palette", false},
}};

}  // namespace

SheetRecord ReadSheetRecord(const IndexedImage& image)
{
    SheetRecord record;
    auto valueOf = [&](std::string_view key) -> const std::string* {
        for (const PngText& text : image.Texts)
            if (text.Key == key)
                return &text.Value;
        return nullptr;
    };
    const std::string* mode = valueOf(RecordModeKey);
    const std::string* address = valueOf(RecordAddressKey);
    const std::string* count = valueOf(RecordCountKey);
    const std::string* columns = valueOf(RecordColumnsKey);
    const std::string* layout = valueOf(RecordLayoutKey);
    record.Present = mode || address || count || columns;
    if (!record.Present)
        return record;
    // The first key that is missing or does not read names the damage.
    auto damaged = [&](std::string_view key, const std::string* value) {
        if (!record.Damage)
            record.Damage = value ? "the value '" + *value + "' of its text \"" + std::string(key) + "\" does not read"
                                  : "its text \"" + std::string(key) + "\" is missing";
    };
    const auto readMode = mode ? ModeFromShortName(*mode) : std::nullopt;
    const auto readAddress = address ? ParseAddress(*address) : std::nullopt;
    const auto readCount = count ? ParsePositive(*count, INT32_MAX / MaxBytesPerTile) : std::nullopt;
    const auto readColumns = columns ? ParsePositive(*columns, MaxPngSide / 8) : std::nullopt;
    if (!readMode)
        damaged(RecordModeKey, mode);
    if (!readAddress)
        damaged(RecordAddressKey, address);
    if (!readCount)
        damaged(RecordCountKey, count);
    if (!readColumns)
        damaged(RecordColumnsKey, columns);
    const auto readLayout = layout ? ParseTileLayout(*layout) : std::optional<TileLayout>(TileLayout{});
    if (!readLayout)
        damaged(RecordLayoutKey, layout);
    if (!record.Damage)
        record.Run = TileRun{*readMode, *readAddress, *readCount, *readColumns, *readLayout};
    return record;
}

namespace {

// "37 tiles of mode gb at 0x13"
std::string RunText(int count, GraphicsMode mode, std::int32_t address)
{
    return std::to_string(count) + " tiles of mode " + std::string(ModeShortName(mode)) + " at " + HexText(address);
}

// A truecolor picture as indices of the mode: mapped onto the palette's
// first 2^bpp colors, or over its own colors with --build-palette. The note
// says how it went.
std::vector<std::uint8_t> TruecolorIndices(const RgbaImage& picture, GraphicsMode mode, const ParsedArgs& parsed,
                                           const std::string& png, std::ostream& err)
{
    const int colorLimit = 1 << StandardModes[mode].BitsPerPixel;
    const std::string modeName(ModeShortName(mode));
    if (parsed.Has("--build-palette")) {
        BuiltPalette built;
        if (auto refusal = BuildPaletteFromPicture(picture, colorLimit, modeName, built))
            throw CliFailure{png + ": " + *refusal + "; nothing was written"};
        err << "brixel-cli: note: " << png << ": its " << built.Colors.size() << " colors became indices 0 to "
            << built.Colors.size() - 1 << " in order of first appearance\n";
        return std::move(built.Indices);
    }
    const Palette256 colors = PaletteOption(parsed);
    const std::string source = parsed.Has("--palette") ? parsed.Required("--palette") : "the default palette";
    MappedPicture mapped = MapOntoPalette(picture, {colors.begin(), colors.begin() + colorLimit});
    err << "brixel-cli: note: " << png << " mapped onto the first " << colorLimit << " colors of " << source << ": "
        << ColorMatchText(mapped.Match, static_cast<std::int64_t>(picture.Pixels.size())) << '\n';
    return std::move(mapped.Indices);
}

// The picture to encode. A truecolor one comes without indices, which wait
// for the mode; an indexed one reads exactly as it always has.
Loaded<IndexedImage> ReadEncodeImage(const std::string& png, Loaded<RgbaImage>& truecolor)
{
    const Loaded<FileBytes> file = LoadFileBytes(png, PngFileRule);
    if (file.Error)
        return Refused<IndexedImage>(*file.Error);
    if (!IsTruecolorPng(file.Bytes))
        return DecodeIndexedPng(file.Bytes);
    truecolor = DecodeRgbaPng(file.Bytes);
    if (truecolor.Error)
        return Refused<IndexedImage>(*truecolor.Error);
    Loaded<IndexedImage> image{};
    image.Width = truecolor.Width;
    image.Height = truecolor.Height;
    return image;
}

}  // namespace

int RunEncode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("encode", EncodeUsage, EncodeOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (parsed.Positionals.size() != 2)
            throw UsageError{"encode takes an image and a ROM file"};
        const std::string& png = parsed.Positionals[0];
        const bool givenMode = parsed.Has("--mode");
        const bool givenAddress = parsed.Has("--address");
        GraphicsMode mode = givenMode ? ModeOption(parsed) : ModeGameboy;
        std::int32_t address = givenAddress ? AddressOption(parsed) : 0;
        std::optional<int> givenCount;
        if (parsed.Has("--count") && !(givenCount = ParsePositive(parsed.Required("--count"), INT32_MAX)))
            throw UsageError{"--count must be a whole number of tiles, 1 or more"};
        const bool dryRun = parsed.Has("--dry-run");
        const bool givenLayout = parsed.Has("--layout");
        TileLayout layout = LayoutOption(parsed);
        std::optional<StreamChoice> stream = StreamOptions(parsed);

        Loaded<RgbaImage> truecolor{};
        Loaded<IndexedImage> image = ReadEncodeImage(png, truecolor);
        if (image.Error)
            throw CliFailure{png + ": " + image.Error->Text};
        const bool isTruecolor = truecolor.Width > 0;
        if (parsed.Has("--palette") && parsed.Has("--build-palette"))
            throw UsageError{"--palette and --build-palette do not go together"};
        if (!isTruecolor && (parsed.Has("--palette") || parsed.Has("--build-palette")))
            throw UsageError{png + " is an indexed PNG: its indices are written as they are, so --palette and "
                                   "--build-palette are for truecolor and grayscale pictures"};
        // Options given win over the record; a damaged record matters only
        // when something is taken from it.
        const SheetRecord record = ReadSheetRecord(image);
        if (record.Damage && !(givenMode && givenAddress && givenCount))
            throw CliFailure{png + ": " + *record.Damage +
                             " (give --mode, --address and --count to write it anyway); nothing was written"};
        const bool recorded = record.Present && !record.Damage;
        if (!givenMode && !recorded)
            throw UsageError{"missing option --mode (" + png + " holds no record of a decode)"};
        if (!givenAddress && !recorded)
            throw UsageError{"missing option --address (" + png + " holds no record of a decode)"};
        if (!givenMode)
            mode = record.Run.Mode;
        if (!givenAddress)
            address = record.Run.Address;
        if (!givenLayout && recorded)
            layout = record.Run.Layout;
        int tiles = EveryCell;
        if (givenCount) {
            tiles = *givenCount;
        } else if (recorded) {
            // Other columns would put other tiles into the first cells.
            if (image.Width != record.Run.Columns * 8)
                throw CliFailure{png + " is " + std::to_string(image.Width) + " pixels wide, but was decoded " +
                                 std::to_string(record.Run.Columns) + " tiles (" +
                                 std::to_string(record.Run.Columns * 8) +
                                 " pixels) a row; give --count to write its cells in their new order; nothing was "
                                 "written"};
            tiles = record.Run.Count;
        }

        if (isTruecolor)
            image.Indices = TruecolorIndices(truecolor, mode, parsed, png, err);

        if (!stream) {
            try {
                stream = RecordedStream(image);
            } catch (const CliFailure& failure) {
                throw CliFailure{png + ": " + failure.Message};
            }
        }

        RomFile rom;
        OpenRom(rom, parsed.Positionals[1], err);
        if (!dryRun && !rom.IsWritable())
            throw CliFailure{parsed.Positionals[1] + " is read-only; nothing was written"};
        EncodeReport report;
        const std::unique_ptr<StreamView> view =
            stream ? OpenStreamView(rom, *stream, !parsed.Has("--no-vram-safe")) : nullptr;
        if (auto problem = EncodeImageIntoRom(image, view ? static_cast<TileStore&>(*view) : rom, mode, address, dryRun,
                                              report, tiles, layout))
            throw CliFailure{*problem};

        if (!recorded && !givenCount)
            err << "brixel-cli: note: " << png << " holds no record of a decode, so all its " << report.Tiles
                << " cells are taken as tiles (--count N takes the first N only)\n";
        else if (recorded &&
                 (mode != record.Run.Mode || address != record.Run.Address || report.Tiles != record.Run.Count))
            err << "brixel-cli: note: " << png << " was decoded as "
                << RunText(record.Run.Count, record.Run.Mode, record.Run.Address) << "; the options given make it "
                << RunText(report.Tiles, mode, address) << '\n';

        // A block whose bytes are all in place already is not written.
        out << (dryRun                    ? "would write "
                : report.ChangedBytes > 0 ? "wrote "
                                          : "found already in place ")
            << report.Tiles << " tiles (" << report.Bytes << " bytes) at " << HexText(address) << ": "
            << report.ChangedTiles << " tiles and " << report.ChangedBytes << " bytes differ";
        if (!report.FirstChangedOffsets.empty()) {
            out << ", first at";
            for (const std::int64_t offset : report.FirstChangedOffsets)
                out << ' ' << HexText(offset);
        }
        out << '\n';
        return ExitOk;
    });
}
