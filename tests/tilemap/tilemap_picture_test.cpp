// Maps written byte by byte from each console's entry layout, drawn over a
// tile store holding one marked tile: its corners show which tile was taken,
// its palette row and how it was mirrored.

#include "core/reference_codec.h"
#include "model/tilemap/tilemap_picture.h"
#include "support/memory_store.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Corners = std::array<int, 4>;  // top-left, top-right, bottom-left, bottom-right

// Tile pixels 1, 2 and 3 in three corners and 0 everywhere else.
constexpr Corners Marked{1, 2, 3, 0};

// The tiles from TilesAddress on: all blank but the marked one.
Bytes TileBytes(GraphicsMode mode, std::int64_t tilesAddress, int markedTile)
{
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    Bytes bytes(static_cast<std::size_t>(tilesAddress + std::int64_t{std::max(markedTile, 0) + 2} * bytesPerTile), 0);
    std::array<std::uint8_t, 64> pixels{};
    pixels[0] = Marked[0], pixels[7] = Marked[1], pixels[56] = Marked[2], pixels[63] = Marked[3];
    const Bytes marked = ReferenceEncode(mode, pixels);
    std::copy(marked.begin(), marked.end(), bytes.begin() + tilesAddress + std::int64_t{markedTile} * bytesPerTile);
    return bytes;
}

struct DrawCase {
    std::string Name;
    TilemapFormat Format;
    GraphicsMode Mode;
    int Width, Height;
    Bytes Map;
    int MarkedTile;
    int PaletteBase = 0;
    bool SignedTiles = false;
    std::int64_t TilesAddress = 0;
    std::vector<std::pair<int, Corners>> Cells;  // entry index, its corners as drawn
};

}  // namespace

TEST(TilemapPicture, EachFormatDrawsItsTilesPaletteRowsAndFlips)
{
    // clang-format off
    const std::vector<DrawCase> cases = {
        {"gb", TilemapFormat::GameBoy, ModeGameboy, 2, 1, {0x05, 0x00}, 5, 2, false, 0,
         {{0, {9, 10, 11, 8}}, {1, {8, 8, 8, 8}}}},
        {"gb rows wrap at 256", TilemapFormat::GameBoy, ModeGameboy, 1, 1, {0x05}, 5, 65, false, 0,
         {{0, {5, 6, 7, 4}}}},
        // Tile -2 lies two tiles before tile 0.
        {"gb signed", TilemapFormat::GameBoy, ModeGameboy, 2, 1, {0xFE, 0x01}, -2, 0, true, 64,
         {{0, {1, 2, 3, 0}}, {1, {0, 0, 0, 0}}}},
        // Attribute 11 10 01 00: the four 2x2 quadrants take rows 0, 1, 2, 3.
        {"nes", TilemapFormat::Nes, ModeNes, 4, 4, {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 0xE4}, 7, 0, false, 0,
         {{0, {1, 2, 3, 0}}, {3, {5, 6, 7, 4}}, {8, {9, 10, 11, 8}}, {15, {13, 14, 15, 12}}}},
        // 0x76A5: tile 0x2A5, row 5, priority, h-flip; 0x9EA5: row 7, v-flip.
        {"snes", TilemapFormat::Snes, ModeSnes4bpp, 2, 1, {0xA5, 0x76, 0xA5, 0x9E}, 0x2A5, 0, false, 0,
         {{0, {82, 81, 80, 83}}, {1, {115, 112, 113, 114}}}},
        // 0xCD55: tile 0x155, both flips, row 12; 0xF155: row 15.
        {"gba", TilemapFormat::GbaText, ModeGba4bpp, 2, 1, {0x55, 0xCD, 0x55, 0xF1}, 0x155, 0, false, 0,
         {{0, {192, 195, 194, 193}}, {1, {241, 242, 243, 240}}}},
        // The palette bits and the base row do not count at 8 bits a pixel.
        {"gba8", TilemapFormat::Gba8bpp, ModeGba8bpp, 2, 1, {0x55, 0xF1, 0x55, 0x05}, 0x155, 3, false, 0,
         {{0, {1, 2, 3, 0}}, {1, {2, 1, 0, 3}}}},
        // Big-endian 0xF4A5: tile 0x4A5, priority, row 3, v-flip; 0x2CA5: row 1, h-flip.
        {"md", TilemapFormat::MegaDrive, ModeSegaGenesis, 2, 1, {0xF4, 0xA5, 0x2C, 0xA5}, 0x4A5, 0, false, 0,
         {{0, {51, 48, 49, 50}}, {1, {18, 17, 16, 19}}}},
    };
    // clang-format on
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TilemapShape shape{c.Format, 0, c.Width, c.Height, c.SignedTiles, c.TilesAddress, c.Mode, c.PaletteBase};
        ASSERT_EQ(TilemapByteCount(shape), static_cast<std::int64_t>(c.Map.size()));
        const MemoryStore mapStore(c.Map);
        const MemoryStore tileStore(TileBytes(c.Mode, c.TilesAddress, c.MarkedTile));
        const LoadedTilemap map = ReadTilemap(shape, mapStore, tileStore);
        EXPECT_EQ(tileStore.Reads, 1);
        Palette256 palette{};
        palette[200] = 0x123456;
        const IndexedImage image = TilemapPicture(map, palette);
        ASSERT_EQ(image.Width, c.Width * 8);
        ASSERT_EQ(image.Height, c.Height * 8);
        EXPECT_EQ(image.Palette, std::vector<PackedColor>(palette.begin(), palette.end()));
        for (const auto& [index, corners] : c.Cells) {
            const int left = index % c.Width * 8, top = index / c.Width * 8;
            auto at = [&](int x, int y) { return image.Indices[static_cast<std::size_t>(y * image.Width + x)]; };
            EXPECT_EQ((Corners{at(left, top), at(left + 7, top), at(left, top + 7), at(left + 7, top + 7)}), corners)
                << "entry " << index;
        }
    }
}
