#include "model/palette/jasc_palette_format.h"

#include "model/palette/palette_text.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Blanks = " \t";

PaletteLoad NotJasc(const std::string& reason)
{
    return Refused<PaletteSets>({"Not a JASC palette file.\r" + reason, "Brixel", MsgIcon::None});
}

// A plain decimal number (digits only) up to max.
std::optional<int> Decimal(std::string_view text, int max)
{
    int value = 0;
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value > max)
        return std::nullopt;
    return value;
}

// "R G B": three numbers 0-255 between blanks.
std::optional<PackedColor> ColorLine(std::string_view line)
{
    int channels[3];
    for (int& channel : channels) {
        const std::size_t start = line.find_first_not_of(Blanks);
        if (start == std::string_view::npos)
            return std::nullopt;
        line.remove_prefix(start);
        const std::size_t end = std::min(line.find_first_of(Blanks), line.size());
        const auto value = Decimal(line.substr(0, end), 255);
        if (!value)
            return std::nullopt;
        channel = *value;
        line.remove_prefix(end);
    }
    if (line.find_first_not_of(Blanks) != std::string_view::npos)
        return std::nullopt;
    return MakePackedColor(channels[0], channels[1], channels[2]);
}

}  // namespace

std::vector<std::uint8_t> BuildJascPalette(const Palette256& colors)
{
    std::string text = "JASC-PAL\r\n0100\r\n" + std::to_string(JascMaxColors) + "\r\n";
    for (const PackedColor color : colors)
        text += std::to_string(RedOf(color)) + ' ' + std::to_string(GreenOf(color)) + ' ' +
                std::to_string(BlueOf(color)) + "\r\n";
    return {text.begin(), text.end()};
}

PaletteLoad ReadJascPalette(const std::vector<std::uint8_t>& bytes)
{
    PaletteTextLines lines(bytes);
    if (lines.Next() != "JASC-PAL" || lines.Next() != "0100")
        return NotJasc("Wrong header.");
    const auto countLine = lines.Next();
    const auto count = countLine ? Decimal(*countLine, JascMaxColors) : std::nullopt;
    if (!count || *count == 0)
        return NotJasc("The number of colors must be 1 to 256.");
    Palette256 colors{};
    for (int i = 0; i < *count; ++i) {
        const auto line = lines.Next();
        if (!line)
            return NotJasc("It ends after " + std::to_string(i) + " of its " + std::to_string(*count) + " colors.");
        const auto color = ColorLine(*line);
        if (!color)
            return NotJasc("Line " + std::to_string(i + 4) + " must hold red, green and blue from 0 to 255.");
        colors[static_cast<std::size_t>(i)] = *color;
    }
    return OneSetLoad(colors, "JASC palette");
}

constinit const PaletteFileFormat JascPaletteFile{
    .Label = "JASC palette file (*.pal)",
    .Patterns = "*.pal",
    .Name = "jasc",
    .FileRead = {.ReadLimit = JascReadLimit},
    .ReadBytes = &ReadJascPalette,
    .Write = [](const ColorSetList& list) { return BuildJascPalette(SelectedColors(list)); },
};
