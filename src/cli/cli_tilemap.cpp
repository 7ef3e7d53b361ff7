#include "cli/cli.h"
#include "cli/cli_args.h"
#include "cli/cli_stream.h"

#include "model/core/number_text.h"
#include "model/core/rom_file.h"
#include "model/core/tile_codec.h"
#include "model/tilemap/tilemap_picture.h"

#include <array>
#include <ostream>

namespace {

constexpr std::string_view TilemapUsage =
    "Usage: brixel-cli tilemap ROM --format F --address A --width W --height H\n"
    "                          --tiles T [--mode MODE] [--signed] [--palette FILE]\n"
    "                          [--palette-base N] [--codec C --stream S] -o OUT.png\n"
    "Draws the tilemap of W x H entries (1 to 256 each way) at address A of the\n"
    "ROM as an 8-bit indexed PNG of W*8 x H*8 pixels with 256 colors. F is the\n"
    "entry format: gb (1 byte, the tile), nes (1 byte a tile, then the attribute\n"
    "table), snes, gba (text, 4bpp), gba8 and md (Mega Drive), 2 bytes each.\n"
    "Tile 0 lies at address T; MODE, a short name of 'brixel-cli modes', is how\n"
    "the tiles are stored (by default the format's usual mode). --signed reads\n"
    "Game Boy tile numbers as -128 to 127, tile 0 still at T.\n"
    "A pixel's color is (N + the entry's palette) * 2^bpp + the tile's pixel,\n"
    "modulo 256; the 8-bit modes take no palette row. N is 0 to 255 (default 0).\n"
    "The colors come from a palette file or savestate (by its extension), else\n"
    "the program's default palette. A map that reaches past the end of the file\n"
    "is refused; tiles past the end read as the browser shows them.\n"
    "A and T are decimal or hexadecimal after 0x, $ or &H. -o - writes the PNG to\n"
    "standard output (and the report to standard error).\n"
    "--codec C --stream S read the map and the tiles from the unpacked bytes of\n"
    "the compressed stream at file address S; A and T then count in them.\n";

constexpr std::array<OptionSpec, 12> TilemapOptions{{
    {"--codec", true},
    {"--stream", true},
    {"--format", true},
    {"--address", true},
    {"--width", true},
    {"--height", true},
    {"--tiles", true},
    {"--mode", true},
    {"--signed", false},
    {"--palette", true},
    {"--palette-base", true},
    {"-o", true},
}};

TilemapFormat FormatOption(const ParsedArgs& parsed)
{
    const std::string& name = parsed.Required("--format");
    if (const auto format = TilemapFormatNamed(name))
        return *format;
    std::string names;
    for (const TilemapFormatInfo& info : TilemapFormats())
        names += (names.empty() ? "" : ", ") + std::string(info.ShortName);
    throw UsageError{"unknown tilemap format '" + name + "' (formats: " + names + ")"};
}

int SideOption(const ParsedArgs& parsed, std::string_view name)
{
    if (const auto side = ParsePositive(parsed.Required(name), MaxTilemapSide))
        return *side;
    throw UsageError{std::string(name) + " must be a whole number of entries from 1 to " +
                     std::to_string(MaxTilemapSide)};
}

std::int32_t TilesOption(const ParsedArgs& parsed)
{
    const std::string& text = parsed.Required("--tiles");
    if (const auto address = ParseAddress(text))
        return *address;
    throw UsageError{"--tiles: '" + text + "' is no address: give decimal digits, or hexadecimal after 0x, $ or &H"};
}

int PaletteBaseOption(const ParsedArgs& parsed)
{
    const std::string text = parsed.ValueOr("--palette-base", "0");
    if (text == "0")
        return 0;
    if (const auto base = ParsePositive(text, 255))
        return *base;
    throw UsageError{"--palette-base must be a palette row from 0 to 255"};
}

}  // namespace

int RunTilemap(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("tilemap", TilemapUsage, TilemapOptions, arguments, out, err, [&](const ParsedArgs& parsed) {
        if (parsed.Positionals.size() != 1)
            throw UsageError{"tilemap takes one ROM file"};
        TilemapShape shape;
        shape.Format = FormatOption(parsed);
        shape.MapAddress = AddressOption(parsed);
        shape.Width = SideOption(parsed, "--width");
        shape.Height = SideOption(parsed, "--height");
        shape.TilesAddress = TilesOption(parsed);
        shape.TileMode = parsed.Has("--mode") ? ModeOption(parsed) : FormatInfo(shape.Format).TypicalMode;
        shape.SignedTiles = parsed.Has("--signed");
        if (shape.SignedTiles && shape.Format != TilemapFormat::GameBoy)
            throw UsageError{"--signed is for Game Boy maps (--format gb) only"};
        shape.PaletteBase = PaletteBaseOption(parsed);
        const std::optional<StreamChoice> stream = StreamOptions(parsed);
        const std::string& output = parsed.Required("-o");
        CheckOutputTarget(output);

        const Palette256 colors = PaletteOption(parsed);

        RomFile rom;
        OpenRom(rom, parsed.Positionals[0], err);
        const std::unique_ptr<StreamView> view = stream ? OpenStreamView(rom, *stream, true) : nullptr;
        const TileStore& store = view ? static_cast<const TileStore&>(*view) : rom;
        const std::int64_t mapBytes = TilemapByteCount(shape);
        if (shape.MapAddress + mapBytes > store.Length())
            throw CliFailure{"the map " + HexText(shape.MapAddress) + " to " + HexText(shape.MapAddress + mapBytes - 1) +
                             " lies past the end of " + (view ? "the stream's unpacked bytes" : "the file") + " (" +
                             std::to_string(store.Length()) + " bytes)"};

        const LoadedTilemap map = ReadTilemap(shape, store, store);
        const IndexedImage image = TilemapPicture(map, colors);
        std::string reason;
        const std::vector<std::uint8_t> png = EncodeIndexedPng(image, &reason);
        if (png.empty())
            throw CliFailure{"could not write " + OutputName(output) + ": " + reason};
        WriteOutput(output, png, out);
        const int lastTile = map.FirstTile + static_cast<int>(map.TilePixels.size() / TilePixelCount) - 1;
        (output == StandardOutput ? err : out)
            << "drew the " << shape.Width << " x " << shape.Height << " " << FormatInfo(shape.Format).ShortName
            << " map at " << HexText(shape.MapAddress) << " (" << mapBytes << " bytes), tiles " << map.FirstTile
            << " to " << lastTile << " of mode " << ModeShortName(shape.TileMode) << " from "
            << HexText(shape.TilesAddress) << ", into " << OutputName(output) << " (" << image.Width << " x "
            << image.Height << " pixels)\n";
        return ExitOk;
    });
}
