// The Tile Layer DOS palette (.pal): 16 colors of 6-bit channels and no
// header, so every file is accepted. The reader and the file loader agree;
// a channel v reads as 255 above 62, else as v * 4.1 truncated, and a missing
// byte as 0; colors 16-255 are black. Saving writes each 8-bit channel
// divided by 4, and loading that file gives the scaled value back.

#include "fuzz_support.h"
#include "model/palette/palette_files.h"
#include "model/palette/tile_layer_palette_format.h"

namespace {

constexpr std::size_t Colors = 16;

int Scaled(int sixBits)
{
    return sixBits > 62 ? 255 : sixBits * 41 / 10;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const PaletteLoad load = ReadTileLayerPalette(bytes);
    CHECK(SameLoad(load, LoadPaletteFile(WriteTempFile("input.pal", bytes), TileLayerPaletteFile, NesColorTable{})));

    CHECK(!load.Error && load.Sets.size() == 1 && load.Sets[0].Description == "Tile Layer palette");
    auto at = [&](std::size_t i) { return i < size ? data[i] : 0; };
    const Palette256& colors = load.Sets[0].Colors;
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const PackedColor expected =
            i < Colors ? Rgb(Scaled(at(3 * i)), Scaled(at(3 * i + 1)), Scaled(at(3 * i + 2))) : 0;
        CHECK(colors[i] == expected);
    }

    // The input's bytes as 8-bit colors, all 256 of them: only the first 16
    // are saved.
    Palette256 input{};
    for (std::size_t i = 0; i < 256; ++i)
        input[i] = Rgb(at(3 * i), at(3 * i + 1), at(3 * i + 2));
    const std::string saved = TempPath("saved.pal");
    const Bytes file = SavedAlone(input, TileLayerPaletteFile, saved);
    CHECK(file.size() == 3 * Colors);
    for (std::size_t i = 0; i < file.size(); ++i)
        CHECK(file[i] == at(i) / 4);

    const PaletteLoad reloaded = LoadPaletteFile(saved, TileLayerPaletteFile, NesColorTable{});
    CHECK(!reloaded.Error && reloaded.Sets.size() == 1);
    for (std::size_t i = 0; i < 256; ++i) {
        const PackedColor expected =
            i < Colors ? Rgb(Scaled(at(3 * i) / 4), Scaled(at(3 * i + 1) / 4), Scaled(at(3 * i + 2) / 4)) : 0;
        CHECK(reloaded.Sets[0].Colors[i] == expected);
    }
    return 0;
}
