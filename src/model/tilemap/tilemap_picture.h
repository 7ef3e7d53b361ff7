#pragma once

#include "model/core/indexed_png.h"
#include "model/core/packed_color.h"
#include "model/core/tile_store.h"
#include "model/tilemap/tilemap_format.h"

#include <cstdint>
#include <string>
#include <vector>

// A map read from its stores: the entries and the decoded tiles they name.
struct LoadedTilemap {
    TilemapSpec Spec;
    std::vector<std::uint8_t> MapBytes;      // TilemapByteCount bytes (0 past the end of the store)
    std::vector<TilemapEntry> Entries;       // Width * Height
    int FirstTile = 0;                       // the tile number of Pixels' first tile
    std::vector<std::uint8_t> TilePixels;    // 64 color indices per tile, FirstTile onwards
};

// Reads the map bytes from mapStore and every tile the entries name from
// tileStore, in one read each.
LoadedTilemap ReadTilemap(const TilemapSpec& spec, const TileStore& mapStore, const TileStore& tileStore);

// Renders the map at 1:1: Width*8 x Height*8 working palette indices, row
// by row. A pixel's index is (PaletteBase + entry palette) * 2^bpp + pixel,
// within 0..255 (the 8-bit modes take no palette row); flips applied.
void RenderTilemap(const LoadedTilemap& map, std::uint8_t* indices);

// The rendered map as an indexed picture with the 256 working palette
// colors.
IndexedImage TilemapPicture(const LoadedTilemap& map, const WorkingPaletteTable& palette);
