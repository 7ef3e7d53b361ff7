#pragma once

#include "model/core/tile_store.h"
#include "model/tilemap/tilemap_format.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// What the map's entries name and how one entry is changed in place.

// Where the tile an entry names lies in the tiles' store.
std::int64_t EntryTileAddress(const TilemapShape& shape, int tile);

// The tile number that names the tile at `address`: nullopt when the
// address is not a whole number of tiles from the tiles' address, or the
// number is more than an entry of the format holds.
std::optional<int> TileNumberFor(const TilemapShape& shape, std::int64_t address);

// The smallest and largest tile number an entry holds (Game Boy maps with
// signed numbers reach before the tiles' address).
int SmallestTileNumber(const TilemapShape& shape);
int LargestTileNumber(const TilemapShape& shape);

// Writes entry `index` of the map (whose bytes, as read, are mapBytes) so
// that it holds `entry`: the bytes that hold it, and for the NES its
// attribute byte, with the map's bytes between the two as they are, in one
// write of the store, all or nothing. The reason when nothing was written:
// a value the format cannot hold, or the store's refusal.
std::optional<std::string> WriteTilemapEntry(TileStore& mapStore, const TilemapShape& shape,
                                             std::span<const std::uint8_t> mapBytes, int index,
                                             const TilemapEntry& entry);
