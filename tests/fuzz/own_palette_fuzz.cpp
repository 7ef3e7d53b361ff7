// The program's own palette file (.bxp). The reader and the file loader
// agree; only a wrong magic refuses a file; every complete set is read, so
// what is left over holds no complete set; saving the sets writes exactly
// the bytes they were read from, and a saved file loads back the same.

#include "fuzz_support.h"
#include "model/palette/own_palette_format.h"
#include "model/palette/palette_files.h"

#include <algorithm>
#include <memory>

namespace {

constexpr std::size_t SetColorBytes = 256 * 3;

ColorSetList& ListOf(const PaletteLoad& load)
{
    // Large; kept between inputs so each input does not clear 256 entries.
    static const auto list = std::make_unique<ColorSetList>();
    std::copy(load.Sets.begin(), load.Sets.end(), list->ColorSets.begin());
    list->SetCount = static_cast<std::uint8_t>(load.Sets.size());
    list->SelectedSet = 0;
    return *list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const PaletteLoad load = ReadOwnPaletteFile(bytes);
    CHECK(SameLoad(load, LoadPaletteFile(WriteTempFile("input.bxp", bytes), OwnPaletteFile, NesColorTable{})));

    const bool magic = size >= 3 && data[0] == 'B' && data[1] == 'X' && data[2] == 'P';
    CHECK(load.Error.has_value() != magic);
    if (!magic) {
        CHECK(load.Sets.empty());
        return 0;
    }
    CHECK(load.Sets.size() <= static_cast<std::size_t>(MaxSetCount));
    for (const ColorSetEntry& set : load.Sets) {
        CHECK(set.Description.find('\0') == std::string::npos);
        CHECK(std::all_of(set.Colors.begin(), set.Colors.end(), ColorInRange));
    }

    const ColorSetList& list = ListOf(load);
    const Bytes built = BuildOwnPaletteFile(list);
    CHECK(built.size() <= size && std::equal(built.begin(), built.end(), bytes.begin()));
    if (load.Sets.size() < static_cast<std::size_t>(MaxSetCount)) {
        const auto terminator = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(built.size()), bytes.end(), 0);
        CHECK(terminator == bytes.end() || static_cast<std::size_t>(bytes.end() - terminator - 1) < SetColorBytes);
    }

    const std::string saved = TempPath("saved.bxp");
    CHECK(!SavePaletteFile(saved, OwnPaletteFile, list));
    CHECK(FileContents(saved) == built);
    CHECK(SameLoad(LoadPaletteFile(saved, OwnPaletteFile, NesColorTable{}), load));
    return 0;
}
