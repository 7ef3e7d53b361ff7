#include "model/palette/hex_palette_format.h"

#include "model/palette/palette_text.h"

#include <cstdio>
#include <string>

namespace {

bool Skipped(std::string_view line)
{
    return line.empty();
}

std::optional<PackedColor> ColorLine(std::string_view line)
{
    const auto rgb = HexDigits(line, 6);
    if (!rgb)
        return std::nullopt;
    return MakePackedColor(static_cast<int>(*rgb >> 16), static_cast<int>(*rgb >> 8 & 0xFF),
                           static_cast<int>(*rgb & 0xFF));
}

}  // namespace

std::vector<std::uint8_t> BuildHexPalette(const Palette256& colors)
{
    std::string text;
    for (const PackedColor color : colors) {
        char line[8];
        std::snprintf(line, sizeof line, "%02x%02x%02x\n", RedOf(color), GreenOf(color), BlueOf(color));
        text += line;
    }
    return {text.begin(), text.end()};
}

PaletteLoad ReadHexPalette(const std::vector<std::uint8_t>& bytes)
{
    PaletteTextLines lines(bytes);
    return ColorLinesLoad(ReadColorLines(lines, &Skipped, &ColorLine, "must hold a color as 6 hex digits, RRGGBB."),
                          "Not a hex color list.", "Hex palette");
}

constinit const PaletteFileFormat HexPaletteFile{
    .Label = "Hex color list (*.hex)",
    .Patterns = "*.hex",
    .Name = "hex",
    .FileRead = {.ReadLimit = PaletteTextReadLimit},
    .ReadBytes = &ReadHexPalette,
    .Write = [](const ColorSetList& list) { return BuildHexPalette(SelectedColors(list)); },
};
