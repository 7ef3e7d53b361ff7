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
    TilemapShape Shape;
    std::vector<std::uint8_t> MapBytes;    // TilemapByteCount bytes (0 past the end of the store)
    std::vector<TilemapEntry> Entries;     // Width * Height
    int FirstTile = 0;                     // the tile number of TilePixels' first tile
    std::vector<std::uint8_t> TilePixels;  // 64 color indices per tile, FirstTile onwards
};

// Reads the map bytes from mapStore and every tile the entries name from
// tileStore, in one read each: the tiles from the lowest number named to the
// highest, through ReadTiles (so tiles past the end of the store read by its
// rule). A shape with a problem (TilemapShapeProblem) reads nothing: the map
// keeps the shape and has no bytes, entries or tiles.
LoadedTilemap ReadTilemap(const TilemapShape& shape, const TileStore& mapStore, const TileStore& tileStore);

// Renders the map at 1:1: Width*8 x Height*8 working palette indices, row
// by row. A pixel's index is (PaletteBase + entry palette) * 2^bpp + pixel,
// taken modulo 256 (the 8-bit modes take no palette row); flips applied.
// An entry naming a tile outside TilePixels (changed since the read) shows
// blank. Nothing is written unless Entries has Width * Height entries.
void RenderTilemap(const LoadedTilemap& map, std::uint8_t* indices);

// The rendered map as an 8-bit indexed picture with the 256 working palette
// colors; an empty picture (0 x 0) where RenderTilemap writes nothing.
IndexedImage TilemapPicture(const LoadedTilemap& map, const WorkingPaletteTable& palette);
