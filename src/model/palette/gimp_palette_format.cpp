#include "model/palette/gimp_palette_format.h"

#include "model/palette/palette_text.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace {

const std::string NotGimp = "Not a GIMP palette file.";

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Digits only, up to 255; the rest of text after them goes to rest.
std::optional<int> Channel(std::string_view& text)
{
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    int value = 0;
    if (digits == 0 || std::from_chars(text.data(), text.data() + digits, value).ec != std::errc{} || value > 255)
        return std::nullopt;
    text.remove_prefix(digits);
    return value;
}

std::optional<PackedColor> ColorLine(std::string_view line)
{
    int channels[3];
    for (int& channel : channels) {
        while (!line.empty() && IsBlank(line.front()))
            line.remove_prefix(1);
        const auto value = Channel(line);
        if (!value)
            return std::nullopt;
        channel = *value;
    }
    // The color's name, if any, follows a blank.
    if (!line.empty() && !IsBlank(line.front()))
        return std::nullopt;
    return MakePackedColor(channels[0], channels[1], channels[2]);
}

bool Skipped(std::string_view line)
{
    return line.empty() || line.front() == '#';
}

std::string PrintableName(std::string_view name)
{
    std::string kept;
    for (const char c : name) {
        if (c >= ' ' && c <= '~')
            kept.push_back(c);
    }
    const std::size_t first = kept.find_first_not_of(' ');
    if (first == std::string::npos)
        return "Brixel";
    return kept.substr(first, kept.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::vector<std::uint8_t> BuildGimpPalette(const Palette256& colors, std::string_view name)
{
    std::string text = "GIMP Palette\nName: " + PrintableName(name) + "\nColumns: 16\n#\n";
    for (std::size_t i = 0; i < colors.size(); ++i) {
        char line[40];
        std::snprintf(line, sizeof line, "%3d %3d %3d\tIndex %zu\n", RedOf(colors[i]), GreenOf(colors[i]),
                      BlueOf(colors[i]), i);
        text += line;
    }
    return {text.begin(), text.end()};
}

PaletteLoad ReadGimpPalette(const std::vector<std::uint8_t>& bytes)
{
    PaletteTextLines lines(bytes);
    if (lines.Next() != "GIMP Palette")
        return ColorLinesLoad({.Refusal = "The first line must be \"GIMP Palette\"."}, NotGimp, "");
    // The header's fields come before the colors; the rest of the file is
    // read from the first line that is neither.
    PaletteTextLines body = lines;
    while (const auto line = lines.Next()) {
        if (StartsWith(*line, "Columns:")) {
            std::string_view count = line->substr(8);
            while (!count.empty() && IsBlank(count.front()))
                count.remove_prefix(1);
            if (!Channel(count) || !count.empty())
                return ColorLinesLoad({.Refusal = "Line " + std::to_string(lines.Number()) +
                                                  " must give the number of columns from 0 to 255."},
                                      NotGimp, "");
        } else if (!StartsWith(*line, "Name:")) {
            break;
        }
        body = lines;
    }
    return ColorLinesLoad(ReadColorLines(body, &Skipped, &ColorLine,
                                         "must hold red, green and blue from 0 to 255, then a name or nothing."),
                          NotGimp, "GIMP palette");
}

constinit const PaletteFileFormat GimpPaletteFile{
    .Label = "GIMP palette file (*.gpl)",
    .Patterns = "*.gpl",
    .Name = "gpl",
    .FileRead = {.ReadLimit = PaletteTextReadLimit},
    .ReadBytes = &ReadGimpPalette,
    .Write =
        [](const ColorSetList& list) {
            return BuildGimpPalette(SelectedColors(list), list.ColorSets[list.SelectedSet].Description);
        },
};
