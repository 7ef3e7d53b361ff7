// Paint.NET's palette (.txt). The reader and the file loader agree; a file
// is accepted exactly when every line, split at LF and without the blanks
// and CRs at its end and the blanks at its start, is empty, a comment
// starting with ';' or 8 hex digits, and there are 1 to 256 colors; the
// colors are their last 6 digits, the rest black. Saving writes the first
// 96 colors as opaque AARRGGBB, which load back the same.

#include "fuzz_support.h"
#include "model/palette/paint_net_palette_format.h"
#include "model/palette/palette_files.h"
#include "model/palette/palette_text.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

std::optional<Palette256> Expected(const Bytes& bytes)
{
    Palette256 colors{};
    std::size_t count = 0;
    std::string text(bytes.begin(), bytes.end());
    text += '\n';
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = text.substr(at, end - at);
        line.erase(line.find_last_not_of(" \t\r") + 1);
        line.erase(0, line.find_first_not_of(" \t"));
        if (line.empty() || line[0] == ';')
            continue;
        if (line.size() != 8 || line.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
            count == colors.size())
            return std::nullopt;
        const unsigned long argb = std::strtoul(line.c_str(), nullptr, 16);
        colors[count++] = Rgb(int(argb >> 16 & 0xFF), int(argb >> 8 & 0xFF), int(argb & 0xFF));
    }
    return count == 0 ? std::nullopt : std::optional(colors);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const PaletteLoad load = ReadPaintNetPalette(bytes);
    const Bytes read(bytes.begin(), bytes.begin() + static_cast<long>(std::min(size, PaletteTextReadLimit)));
    CHECK(
        SameLoad(ReadPaintNetPalette(read), LoadPaletteFile(WriteTempFile("in.txt", bytes), PaintNetPaletteFile, {})));

    const std::optional<Palette256> expected = Expected(bytes);
    CHECK(load.Error.has_value() != expected.has_value());
    if (!expected) {
        CHECK(load.Sets.empty() && load.Error->Text.rfind("Not a Paint.NET palette file.\r", 0) == 0);
        return 0;
    }
    CHECK(load.Sets.size() == 1 && load.Sets[0].Colors == *expected);
    const Bytes built = BuildPaintNetPalette(*expected);
    CHECK(SavedAlone(*expected, PaintNetPaletteFile, TempPath("saved.txt")) == built);
    CHECK(std::count(built.begin(), built.end(), '\n') == 2 + PaintNetColors);
    Palette256 first96{};
    std::copy_n(expected->begin(), PaintNetColors, first96.begin());
    const PaletteLoad back = ReadPaintNetPalette(built);
    CHECK(!back.Error && back.Sets.at(0).Colors == first96);
    return 0;
}
