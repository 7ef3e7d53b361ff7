#include "model/palette/palette_text.h"

#include <string>

PaletteTextLines::PaletteTextLines(const std::vector<std::uint8_t>& bytes)
    : rest_(reinterpret_cast<const char*>(bytes.data()), bytes.size())
{
}

std::optional<std::string_view> PaletteTextLines::Next()
{
    if (rest_.empty())
        return std::nullopt;
    ++number_;
    const std::size_t end = rest_.find('\n');
    std::string_view line = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
    const std::size_t last = line.find_last_not_of(" \t\r");
    if (last == std::string_view::npos)
        return std::string_view{};
    line = line.substr(0, last + 1);
    return line.substr(line.find_first_not_of(" \t"));
}

std::optional<std::uint32_t> HexDigits(std::string_view text, std::size_t digits)
{
    if (text.size() != digits)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

ColorLines ReadColorLines(PaletteTextLines& lines, bool (*Skipped)(std::string_view line),
                          std::optional<PackedColor> (*ParseColor)(std::string_view line), std::string_view badLine)
{
    ColorLines read;
    std::size_t count = 0;
    while (const auto line = lines.Next()) {
        if (Skipped(*line))
            continue;
        const auto color = ParseColor(*line);
        if (!color) {
            read.Refusal = "Line " + std::to_string(lines.Number()) + " " + std::string(badLine);
            return read;
        }
        // Refused rather than cut, so no color of the file is lost unseen.
        if (count == read.Colors.size()) {
            read.Refusal = "Line " + std::to_string(lines.Number()) + " holds a 257th color; a set holds 256.";
            return read;
        }
        read.Colors[count++] = *color;
    }
    if (count == 0)
        read.Refusal = "It holds no colors.";
    return read;
}

PaletteLoad ColorLinesLoad(const ColorLines& read, const std::string& notThisFormat, const char* description)
{
    if (read.Refusal)
        return Refused<PaletteSets>({notThisFormat + "\r" + *read.Refusal, "Brixel", MsgIcon::None});
    return OneSetLoad(read.Colors, description);
}
