#include "cli/cli.h"
#include "cli/cli_args.h"

#include "model/core/default_palettes.h"
#include "model/core/number_text.h"
#include "model/core/rom_file.h"
#include "model/palette/color_encoding.h"
#include "model/palette/palette_files.h"
#include "model/palette/palette_formats.h"
#include "model/palette/palette_transfer.h"

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr std::string_view RomPaletteUsage =
    "Usage: brixel-cli rompalette ROM --encoding NAME --address A [--count N] -o OUT [--format NAME]\n"
    "       brixel-cli rompalette ROM --encoding NAME --address A [--count N] --write IN [--from NAME]\n"
    "Reads N colors (1 to 256, default 16) stored at address A of a ROM into a palette\n"
    "file, or writes the first color set of the palette file IN there in place.\n"
    "OUT and IN take the formats and extensions of 'brixel-cli palette'; -o - writes\n"
    "to standard output and needs --format. Writing keeps the bits of each stored\n"
    "value that the encoding does not use, is refused past the end of the ROM and\n"
    "prints each color that changed. The address is decimal, or hexadecimal after\n"
    "0x, $ or &H. Encodings:\n"
    "  rgb15   15 bpc RGB              bgr15   15 bpc BGR (SNES)\n"
    "  nes     6 bpc NES (read only)   md9     Mega Drive, big-endian 0000BBB0GGG0RRR0\n"
    "  sms6    Master System 00BBGGRR  gg12    Game Gear/WonderSwan Color 0000BBBBGGGGRRRR\n"
    "  ngpc12  Neo Geo Pocket Color 0000BBBBGGGGRRRR\n"
    "  gba15   GBA/NDS 0BBBBBGGGGGRRRRR\n";

constexpr std::array<OptionSpec, 7> RomPaletteOptions{{{"--encoding", true},
                                                       {"--address", true},
                                                       {"--count", true},
                                                       {"-o", true},
                                                       {"--format", true},
                                                       {"--write", true},
                                                       {"--from", true}}};

std::uint8_t EncodingOption(const ParsedArgs& parsed)
{
    const std::string& name = parsed.Required("--encoding");
    if (const auto encoding = PaletteEncodingNamed(name))
        return *encoding;
    std::string names;
    for (const PaletteFormat& format : PaletteFormats)
        names += (names.empty() ? "" : ", ") + std::string(format.ShortName);
    throw UsageError{"unknown encoding '" + name + "' (one of " + names + ")"};
}

const PaletteFileFormat& WriterFor(const std::string& output, const std::string& formatName)
{
    if (!formatName.empty()) {
        const PaletteFileFormat* named = PaletteFormatNamed(formatName);
        if (!named)
            throw UsageError{"unknown palette format '" + formatName + "' (brixel-cli palette --help lists them)"};
        if (!named->Write)
            throw UsageError{"the program only reads that palette format"};
        return *named;
    }
    if (output == StandardOutput)
        throw UsageError{"-o - (standard output) needs --format to name the palette format"};
    for (const PaletteFileFormat* format : PaletteFormatsForPath(output))
        if (format->Write)
            return *format;
    throw UsageError{"the extension of " + output +
                     " names no palette format the program writes; give one with --format"};
}

// The stored values of count colors at address, read whole; refused when they
// do not lie wholly inside the ROM.
std::vector<std::uint8_t> StoredBytes(const RomFile& rom, const std::string& romPath, std::int32_t address,
                                      std::uint8_t encoding, int count)
{
    const std::int64_t length = static_cast<std::int64_t>(count) * PaletteFormats[encoding].BytesPerColor;
    if (address + length > rom.Length())
        throw CliFailure{"the " + std::to_string(count) + " colors at " + HexText(address) + " reach past the end of " +
                         romPath + " (" + std::to_string(rom.Length()) + " bytes)"};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (rom.ReadAt(address, bytes.data(), bytes.size()) != bytes.size())
        throw CliFailure{"could not read " + romPath + " at " + HexText(address)};
    return bytes;
}

int ReadColors(const ParsedArgs& parsed, const RomFile& rom, std::int32_t address, std::uint8_t encoding, int count,
               std::ostream& out)
{
    const std::string& output = parsed.Required("-o");
    const PaletteFileFormat& writer = WriterFor(output, parsed.ValueOr("--format", ""));
    StoredBytes(rom, parsed.Positionals[0], address, encoding, count);
    WorkingPaletteTable working{};
    NesColorTable nesColors{};
    InitDefaultPalettes(working, nesColors);
    auto list = std::make_unique<ColorSetList>();
    list->ColorSets[0] = ImportPalette(rom, address, encoding, count, nesColors, HexText(address));
    list->SetCount = 1;
    if (output == StandardOutput) {
        WriteOutput(output, writer.Write(*list), out);
        return ExitOk;
    }
    if (const auto failure = SavePaletteFile(output, writer, *list))
        throw CliFailure{failure->Text};
    out << "wrote " << count << " colors (" << PaletteFormats[encoding].FormatName << " at " << HexText(address)
        << ") to " << output << '\n';
    return ExitOk;
}

int WriteColors(const ParsedArgs& parsed, RomFile& rom, std::int32_t address, std::uint8_t encoding, int count,
                std::ostream& out)
{
    if (encoding == EncodingNes)
        throw UsageError{"the nes encoding is read only"};
    const std::string& romPath = parsed.Positionals[0];
    const PaletteLoad load = ReadAnyPaletteFile(parsed.Required("--write"), parsed.ValueOr("--from", ""));
    if (load.Error)
        throw CliFailure{load.Error->Text};
    if (!rom.IsWritable())
        throw CliFailure{romPath + " is read-only; nothing was written"};
    const std::vector<std::uint8_t> before = StoredBytes(rom, romPath, address, encoding, count);
    const ExportResult result = ExportPalette(rom, address, encoding, count, load.Sets.front().Colors);
    if (result.Outcome == ExportOutcome::Failed)
        throw CliFailure{result.Reason};
    if (result.Outcome != ExportOutcome::Written)
        throw CliFailure{"could not write the colors into " + romPath};
    const std::vector<std::uint8_t> after = StoredBytes(rom, romPath, address, encoding, count);

    const int bytesPerColor = PaletteFormats[encoding].BytesPerColor;
    const auto valueText = [&](const std::vector<std::uint8_t>& bytes, int i) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%0*X", 2 * bytesPerColor,
                      StoredValue(bytes.data() + static_cast<std::ptrdiff_t>(i) * bytesPerColor, encoding));
        return std::string(text);
    };
    int changed = 0;
    for (int i = 0; i < count; ++i) {
        const std::string old = valueText(before, i), now = valueText(after, i);
        if (old == now)
            continue;
        ++changed;
        out << "color " << i << " at " << HexText(address + static_cast<std::int64_t>(i) * bytesPerColor) << ": " << old
            << " -> " << now << '\n';
    }
    out << "wrote " << count << " colors at " << HexText(address) << " of " << romPath << ", " << changed
        << " changed\n";
    return ExitOk;
}

}  // namespace

int RunRomPalette(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return RunSubcommand("rompalette", RomPaletteUsage, RomPaletteOptions, arguments, out, err,
                         [&](const ParsedArgs& parsed) {
                             if (parsed.Positionals.size() != 1)
                                 throw UsageError{"rompalette takes one ROM file"};
                             if (parsed.Has("--write") == parsed.Has("-o"))
                                 throw UsageError{"rompalette takes either -o OUT or --write IN"};
                             const std::uint8_t encoding = EncodingOption(parsed);
                             const std::int32_t address = AddressOption(parsed);
                             int count = 16;
                             if (parsed.Has("--count")) {
                                 const auto given = ParsePositive(parsed.Required("--count"), 256);
                                 if (!given)
                                     throw UsageError{"--count must be a number of colors from 1 to 256"};
                                 count = *given;
                             }
                             RomFile rom;
                             OpenRom(rom, parsed.Positionals[0], err);
                             if (parsed.Has("--write"))
                                 return WriteColors(parsed, rom, address, encoding, count, out);
                             return ReadColors(parsed, rom, address, encoding, count, out);
                         });
}
