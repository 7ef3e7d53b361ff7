#include "model/palette/paint_net_palette_format.h"

#include "model/palette/palette_text.h"

#include <cstdio>
#include <string>

namespace {

bool Skipped(std::string_view line)
{
    return line.empty() || line.front() == ';';
}

std::optional<PackedColor> ColorLine(std::string_view line)
{
    const auto argb = HexDigits(line, 8);
    if (!argb)
        return std::nullopt;
    return MakePackedColor(static_cast<int>(*argb >> 16 & 0xFF), static_cast<int>(*argb >> 8 & 0xFF),
                           static_cast<int>(*argb & 0xFF));
}

}  // namespace

std::vector<std::uint8_t> BuildPaintNetPalette(const Palette256& colors)
{
    std::string text = "; Paint.NET palette file\r\n; 96 colors, AARRGGBB\r\n";
    for (std::size_t i = 0; i < PaintNetColors; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "FF%02X%02X%02X\r\n", RedOf(colors[i]), GreenOf(colors[i]), BlueOf(colors[i]));
        text += line;
    }
    return {text.begin(), text.end()};
}

PaletteLoad ReadPaintNetPalette(const std::vector<std::uint8_t>& bytes)
{
    PaletteTextLines lines(bytes);
    return ColorLinesLoad(ReadColorLines(lines, &Skipped, &ColorLine, "must hold a color as 8 hex digits, AARRGGBB."),
                          "Not a Paint.NET palette file.", "Paint.NET palette");
}

constinit const PaletteFileFormat PaintNetPaletteFile{
    .Label = "Paint.NET palette file (*.txt)",
    .Patterns = "*.txt",
    .Name = "paintnet",
    .FileRead = {.ReadLimit = PaletteTextReadLimit},
    .ReadBytes = &ReadPaintNetPalette,
    .Write = [](const ColorSetList& list) { return BuildPaintNetPalette(SelectedColors(list)); },
};
