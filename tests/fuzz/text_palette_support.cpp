#include "text_palette_support.h"

#include "model/palette/palette_files.h"
#include "model/palette/palette_text.h"

#include <algorithm>
#include <cstdlib>

std::vector<std::string> TrimmedLines(const Bytes& bytes)
{
    std::vector<std::string> lines;
    std::string text(bytes.begin(), bytes.end());
    text += '\n';
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = text.substr(at, end - at);
        line.erase(line.find_last_not_of(" \t\r") + 1);
        lines.push_back(line.erase(0, line.find_first_not_of(" \t")));
    }
    return lines;
}

std::optional<Palette256> HexListColors(const Bytes& bytes, std::size_t digits, char comment)
{
    Palette256 colors{};
    std::size_t count = 0;
    for (const std::string& line : TrimmedLines(bytes)) {
        if (line.empty() || (comment != 0 && line[0] == comment))
            continue;
        if (line.size() != digits || line.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
            count == colors.size())
            return std::nullopt;
        const unsigned long rgb = std::strtoul(line.c_str() + digits - 6, nullptr, 16);
        colors[count++] = Rgb(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF));
    }
    return count == 0 ? std::nullopt : std::optional(colors);
}

void CheckTextPaletteRead(const Bytes& bytes, PaletteLoad (*read)(const std::vector<std::uint8_t>&),
                          const PaletteFileFormat& format, const std::string& fileName, const std::string& refusal,
                          const std::optional<Palette256>& expected)
{
    const Bytes kept(bytes.begin(), bytes.begin() + static_cast<long>(std::min(bytes.size(), PaletteTextReadLimit)));
    CHECK(SameLoad(read(kept), LoadPaletteFile(WriteTempFile(fileName, bytes), format, {})));
    const PaletteLoad load = read(bytes);
    CHECK(load.Error.has_value() != expected.has_value());
    if (!expected)
        CHECK(load.Sets.empty() && load.Error->Text.rfind(refusal, 0) == 0);
    else
        CHECK(load.Sets.size() == 1 && load.Sets[0].Colors == *expected);
}
