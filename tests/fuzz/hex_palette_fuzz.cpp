// The hex color list (.hex). The reader and the file loader agree; a file is
// accepted exactly when every line, split at LF and without the blanks and
// CRs at its end and the blanks at its start, is empty or 6 hex digits, and
// there are 1 to 256 colors; those are the colors, the rest black. Saving
// the set writes 256 lines of 6 lower-case digits that load back the same.

#include "fuzz_support.h"
#include "model/palette/hex_palette_format.h"
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
        if (line.empty())
            continue;
        if (line.size() != 6 || line.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
            count == colors.size())
            return std::nullopt;
        const unsigned long rgb = std::strtoul(line.c_str(), nullptr, 16);
        colors[count++] = Rgb(int(rgb >> 16), int(rgb >> 8 & 0xFF), int(rgb & 0xFF));
    }
    return count == 0 ? std::nullopt : std::optional(colors);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const PaletteLoad load = ReadHexPalette(bytes);
    const Bytes read(bytes.begin(), bytes.begin() + static_cast<long>(std::min(size, PaletteTextReadLimit)));
    CHECK(SameLoad(ReadHexPalette(read), LoadPaletteFile(WriteTempFile("in.hex", bytes), HexPaletteFile, {})));

    const std::optional<Palette256> expected = Expected(bytes);
    CHECK(load.Error.has_value() != expected.has_value());
    if (!expected) {
        CHECK(load.Sets.empty() && load.Error->Text.rfind("Not a hex color list.\r", 0) == 0);
        return 0;
    }
    CHECK(load.Sets.size() == 1 && load.Sets[0].Colors == *expected);
    const Bytes built = BuildHexPalette(*expected);
    CHECK(built.size() == 256 * 7 && SavedAlone(*expected, HexPaletteFile, TempPath("saved.hex")) == built);
    CHECK(SameLoad(ReadHexPalette(built), load));
    return 0;
}
