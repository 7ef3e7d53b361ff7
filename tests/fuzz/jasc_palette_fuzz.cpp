// The JASC text palette (.pal). The reader and the file loader agree; a
// file is accepted exactly when a line-by-line reading made here accepts
// it: "JASC-PAL", "0100", a count of 1-256 and that many lines of three
// numbers 0-255, each line without its LF, CR and the blanks around it.
// The colors are those numbers, the rest black. Saving the set writes all
// 256 colors with CR LF and loads back the same; a refusal says why in a
// second line under "Not a JASC palette file.".

#include "fuzz_support.h"
#include "model/palette/jasc_palette_format.h"
#include "model/palette/palette_files.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

bool Blank(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string> Lines(const Bytes& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (const std::uint8_t byte : bytes) {
        if (byte == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(byte));
        }
    }
    if (!line.empty())
        lines.push_back(line);
    for (std::string& text : lines) {
        while (!text.empty() && (Blank(text.back()) || text.back() == '\r'))
            text.pop_back();
        text.erase(0, std::min(text.size(), text.find_first_not_of(" \t")));
    }
    return lines;
}

// Digits only, at most max.
std::optional<int> Number(const std::string& text, int max)
{
    if (text.empty())
        return std::nullopt;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = std::min(value * 10 + (c - '0'), 100000L);
    }
    return value <= max ? std::optional<int>(static_cast<int>(value)) : std::nullopt;
}

std::optional<PackedColor> Color(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (!Blank(c))
            fields.back().push_back(c);
        else if (!fields.back().empty())
            fields.emplace_back();
    }
    if (fields.size() != 3)
        return std::nullopt;
    const auto red = Number(fields[0], 255);
    const auto green = Number(fields[1], 255);
    const auto blue = Number(fields[2], 255);
    if (!red || !green || !blue)
        return std::nullopt;
    return Rgb(*red, *green, *blue);
}

// The colors of an acceptable file; nullopt for one to refuse.
std::optional<Palette256> Expected(const Bytes& bytes)
{
    const std::vector<std::string> lines = Lines(bytes);
    if (lines.size() < 3 || lines[0] != "JASC-PAL" || lines[1] != "0100")
        return std::nullopt;
    const auto count = Number(lines[2], 256);
    if (!count || *count == 0 || lines.size() < static_cast<std::size_t>(3 + *count))
        return std::nullopt;
    Palette256 colors{};
    for (int i = 0; i < *count; ++i) {
        const auto color = Color(lines[static_cast<std::size_t>(3 + i)]);
        if (!color)
            return std::nullopt;
        colors[static_cast<std::size_t>(i)] = *color;
    }
    return colors;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const PaletteLoad load = ReadJascPalette(bytes);
    // The loader reads the first JascReadLimit bytes of a file.
    const Bytes read(bytes.begin(), bytes.begin() + static_cast<long>(std::min(size, JascReadLimit)));
    CHECK(SameLoad(ReadJascPalette(read),
                   LoadPaletteFile(WriteTempFile("input.pal", bytes), JascPaletteFile, NesColorTable{})));

    const std::optional<Palette256> expected = Expected(bytes);
    CHECK(load.Error.has_value() != expected.has_value());
    if (!expected) {
        CHECK(load.Sets.empty());
        CHECK(load.Error->Text.rfind("Not a JASC palette file.\r", 0) == 0);
        CHECK(load.Error->Text.size() > 26 && load.Error->Caption == "Brixel" && load.Error->Icon == MsgIcon::None);
        return 0;
    }
    CHECK(load.Sets.size() == 1 && load.Sets[0].Description == "JASC palette");
    CHECK(load.Sets[0].Colors == *expected);

    const Bytes built = BuildJascPalette(load.Sets[0].Colors);
    const std::string text(built.begin(), built.end());
    CHECK(text.rfind("JASC-PAL\r\n0100\r\n256\r\n", 0) == 0);
    CHECK(std::count(text.begin(), text.end(), '\n') == 259 && std::count(text.begin(), text.end(), '\r') == 259);
    CHECK(text.find("\r\n\r\n") == std::string::npos && text.find("  ") == std::string::npos);

    const std::string saved = TempPath("saved.pal");
    CHECK(SavedAlone(load.Sets[0].Colors, JascPaletteFile, saved) == built);
    CHECK(SameLoad(LoadPaletteFile(saved, JascPaletteFile, NesColorTable{}), load));
    return 0;
}
