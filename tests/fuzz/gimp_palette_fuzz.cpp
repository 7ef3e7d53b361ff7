// GIMP's palette (.gpl). The reader and the file loader agree; a file is
// accepted exactly when a line-by-line reading made here accepts it: lines
// split at LF, without the blanks and CRs at their end and the blanks at
// their start; "GIMP Palette" first, then header lines "Name:..." and
// "Columns: N" (N 0-255), then lines that are empty, start with '#' or hold
// three numbers 0-255 between blanks and then nothing or a blank; 1 to 256
// colors. Saving the set writes text this reading takes, which loads back
// the same.

#include "model/palette/gimp_palette_format.h"
#include "model/palette/palette_files.h"
#include "text_palette_support.h"

#include <optional>
#include <string>
#include <vector>

namespace {

// Digits at text[at], at most 255; at moves past them.
std::optional<int> Number(const std::string& text, std::size_t& at)
{
    const std::size_t start = at;
    int value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        value = std::min(value * 10 + (text[at++] - '0'), 1000);
    return at > start && value <= 255 ? std::optional(value) : std::nullopt;
}

std::size_t SkipBlanks(const std::string& text, std::size_t at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    return at;
}

std::optional<Palette256> Expected(const Bytes& bytes)
{
    const std::vector<std::string> lines = TrimmedLines(bytes);
    if (lines[0] != "GIMP Palette")
        return std::nullopt;
    std::size_t i = 1;
    for (; i < lines.size(); ++i) {
        std::size_t at = SkipBlanks(lines[i], 8);
        if (lines[i].rfind("Columns:", 0) == 0 && (!Number(lines[i], at) || at != lines[i].size()))
            return std::nullopt;
        if (lines[i].rfind("Columns:", 0) != 0 && lines[i].rfind("Name:", 0) != 0)
            break;
    }
    Palette256 colors{};
    std::size_t count = 0;
    for (; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i][0] == '#')
            continue;
        int rgb[3];
        std::size_t at = 0;
        for (int& channel : rgb) {
            at = SkipBlanks(lines[i], at);
            const auto value = Number(lines[i], at);
            if (!value)
                return std::nullopt;
            channel = *value;
        }
        if ((at < lines[i].size() && SkipBlanks(lines[i], at) == at) || count == colors.size())
            return std::nullopt;
        colors[count++] = Rgb(rgb[0], rgb[1], rgb[2]);
    }
    return count == 0 ? std::nullopt : std::optional(colors);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const std::optional<Palette256> expected = Expected(bytes);
    CheckTextPaletteRead(bytes, &ReadGimpPalette, GimpPaletteFile, "in.gpl", "Not a GIMP palette file.\r", expected);
    if (!expected)
        return 0;
    const Bytes built =
        BuildGimpPalette(*expected, std::string(bytes.begin(), bytes.begin() + std::min<long>(size, 40)));
    CHECK(Expected(built) == expected);
    CHECK(SameLoad(ReadGimpPalette(built), ReadGimpPalette(bytes)));
    return 0;
}
