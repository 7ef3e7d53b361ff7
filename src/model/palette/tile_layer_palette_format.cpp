#include "model/palette/tile_layer_palette_format.h"

namespace {

constexpr std::size_t TileLayerColors = 16;

// A 6-bit channel as 8 bits: v * 4.1 in integers, so 10 gives exactly 41.
int FromSixBits(std::uint8_t value)
{
    return value > 62 ? 255 : value * 41 / 10;
}

}  // namespace

std::vector<std::uint8_t> BuildTileLayerPalette(const Palette256& colors)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(TileLayerPaletteSize);
    for (std::size_t i = 0; i < TileLayerColors; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(RedOf(colors[i]) / 4));
        bytes.push_back(static_cast<std::uint8_t>(GreenOf(colors[i]) / 4));
        bytes.push_back(static_cast<std::uint8_t>(BlueOf(colors[i]) / 4));
    }
    return bytes;
}

PaletteLoad ReadTileLayerPalette(const std::vector<std::uint8_t>& bytes)
{
    // The format has no header or size to check: any file loads, and the
    // bytes a short one lacks read as 0.
    auto channel = [&](std::size_t index) { return FromSixBits(index < bytes.size() ? bytes[index] : 0); };
    Palette256 colors{};
    for (std::size_t i = 0; i < TileLayerColors; ++i)
        colors[i] = MakePackedColor(channel(i * 3), channel(i * 3 + 1), channel(i * 3 + 2));
    return OneSetLoad(colors, "Tile Layer palette");
}

constinit const PaletteFileFormat TileLayerPaletteFile{
    .Label = "Tile Layer DOS palette file (*.pal)",
    .Patterns = "*.pal",
    .Name = "tlp",
    .FileRead = {.ReadLimit = TileLayerPaletteSize},
    .ReadBytes = &ReadTileLayerPalette,
    .Write = [](const ColorSetList& list) { return BuildTileLayerPalette(SelectedColors(list)); },
    .TakesAnyFile = true,
};
