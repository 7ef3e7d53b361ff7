// The Microsoft RIFF palette (.pal). The reader and the file loader agree; a
// file is accepted exactly when it is 1052 bytes long and starts with the
// 256-color header; the colors are the red, green, blue bytes of each entry;
// saving the set gives the file back with the flag and trailing bytes 0, and
// a saved file loads back the same.

#include "fuzz_support.h"
#include "model/palette/palette_files.h"
#include "model/palette/riff_palette_format.h"

#include <algorithm>

namespace {

constexpr std::size_t FileSize = 1052;
constexpr std::size_t EntriesAt = 24;
constexpr std::uint8_t Header[EntriesAt] = {'R', 'I', 'F', 'F', 0x14, 0x04, 0x00, 0x00, 'P',  'A',  'L',  ' ',
                                            'd', 'a', 't', 'a', 0x08, 0x04, 0x00, 0x00, 0x00, 0x03, 0x00, 0x01};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const PaletteLoad load = ReadRiffPalette(bytes);
    CHECK(SameLoad(load, LoadPaletteFile(WriteTempFile("input.pal", bytes), RiffPaletteFile, NesColorTable{})));

    const bool valid = size == FileSize && std::equal(Header, Header + EntriesAt, data);
    CHECK(load.Error.has_value() != valid);
    if (!valid) {
        CHECK(load.Sets.empty());
        return 0;
    }
    CHECK(load.Sets.size() == 1 && load.Sets[0].Description == "RIFF palette");
    const Palette256& colors = load.Sets[0].Colors;
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const std::uint8_t* entry = data + EntriesAt + 4 * i;
        CHECK(colors[i] == Rgb(entry[0], entry[1], entry[2]));
    }

    Bytes expected = bytes;
    for (std::size_t i = 0; i < colors.size(); ++i)
        expected[EntriesAt + 4 * i + 3] = 0;
    std::fill(expected.end() - 4, expected.end(), 0);
    CHECK(BuildRiffPalette(colors) == expected);

    const std::string saved = TempPath("saved.pal");
    CHECK(SavedAlone(colors, RiffPaletteFile, saved) == expected);
    CHECK(SameLoad(LoadPaletteFile(saved, RiffPaletteFile, NesColorTable{}), load));
    return 0;
}
