// Adobe's color table (.act). The reader and the file loader agree; a file is
// accepted exactly when it is 768 bytes long, or 772 with a big-endian count
// of 1 to 256 in its trailer; the colors are the file's red, green, blue
// triples up to the count, black after it; saving the set gives those 768
// bytes, and a saved file loads back the same.

#include "fuzz_support.h"
#include "model/palette/act_palette_format.h"
#include "model/palette/palette_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const PaletteLoad load = ReadActPalette(bytes);
    CHECK(SameLoad(load, LoadPaletteFile(WriteTempFile("input.act", bytes), ActPaletteFile, NesColorTable{})));

    const std::size_t count = size == 772 ? static_cast<std::size_t>(data[768] << 8 | data[769]) : 256;
    const bool valid = (size == 768 || size == 772) && count >= 1 && count <= 256;
    CHECK(load.Error.has_value() != valid);
    if (!valid) {
        CHECK(load.Sets.empty());
        return 0;
    }
    CHECK(load.Sets.size() == 1 && load.Sets[0].Description == "ACT palette");
    const Palette256& colors = load.Sets[0].Colors;
    Bytes expected(768, 0);
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const std::uint8_t* entry = data + 3 * i;
        CHECK(colors[i] == (i < count ? Rgb(entry[0], entry[1], entry[2]) : 0));
        if (i < count)
            std::copy(entry, entry + 3, expected.begin() + static_cast<std::ptrdiff_t>(3 * i));
    }
    CHECK(BuildActPalette(colors) == expected);

    const std::string saved = TempPath("saved.act");
    CHECK(SavedAlone(colors, ActPaletteFile, saved) == expected);
    CHECK(SameLoad(LoadPaletteFile(saved, ActPaletteFile, NesColorTable{}), load));
    return 0;
}
