#pragma once

#include "model/palette/palette_load.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the palettes of one color a text line (GIMP, Paint.NET, hex lists)
// share: their lines, hex digits, and the reading of the color lines.

// A text palette of up to 256 colors takes a few KB; a file is read up to
// this much.
inline constexpr std::size_t PaletteTextReadLimit = 1024 * 1024;

// Hands out the lines of a text one by one, split at LF, without a CR
// before it and without the blanks (space, tab) around them.
class PaletteTextLines {
public:
    explicit PaletteTextLines(const std::vector<std::uint8_t>& bytes);

    std::optional<std::string_view> Next();

    // The 1-based number of the line Next gave last.
    int Number() const { return number_; }

private:
    std::string_view rest_;
    int number_ = 0;
};

// The value of text when it is exactly that many hex digits (either case).
std::optional<std::uint32_t> HexDigits(std::string_view text, std::size_t digits);

// The colors of the lines left, one a line; a line Skipped takes (a comment,
// an empty line) holds none. The reason for a refusal is the second line
// of the message: badLine after the number of the first line ParseColor
// refuses ("Line 7 " + badLine), or a 257th color, or no color at all.
struct ColorLines {
    Palette256 Colors{};
    std::optional<std::string> Refusal;
};
ColorLines ReadColorLines(PaletteTextLines& lines, bool (*Skipped)(std::string_view line),
                          std::optional<PackedColor> (*ParseColor)(std::string_view line), std::string_view badLine);

// A load of the colors, or the refusal "<notThisFormat>\r<reason>".
PaletteLoad ColorLinesLoad(const ColorLines& read, const std::string& notThisFormat, const char* description);
