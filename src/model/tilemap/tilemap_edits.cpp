#include "model/tilemap/tilemap_edits.h"

#include <algorithm>
#include <vector>

std::int64_t EntryTileAddress(const TilemapShape& shape, int tile)
{
    return shape.TilesAddress + std::int64_t{tile} * StandardModes[shape.TileMode].BytesPerTile;
}

int SmallestTileNumber(const TilemapShape& shape)
{
    return shape.Format == TilemapFormat::GameBoy && shape.SignedTiles ? -128 : 0;
}

int LargestTileNumber(const TilemapShape& shape)
{
    return shape.Format == TilemapFormat::GameBoy && shape.SignedTiles ? 127 : FormatInfo(shape.Format).MaxTile;
}

std::optional<int> TileNumberFor(const TilemapShape& shape, std::int64_t address)
{
    const std::int64_t bytesPerTile = StandardModes[shape.TileMode].BytesPerTile;
    const std::int64_t distance = address - shape.TilesAddress;
    if (distance % bytesPerTile != 0)
        return std::nullopt;
    const std::int64_t tile = distance / bytesPerTile;
    if (tile < SmallestTileNumber(shape) || tile > LargestTileNumber(shape))
        return std::nullopt;
    return static_cast<int>(tile);
}

std::optional<std::string> WriteTilemapEntry(TileStore& mapStore, const TilemapShape& shape,
                                             std::span<const std::uint8_t> mapBytes, int index,
                                             const TilemapEntry& entry)
{
    const std::optional<std::vector<ByteBlock>> blocks = EncodeEntryChange(shape, mapBytes, index, entry);
    if (!blocks || blocks->empty())
        return "The entry cannot hold tile " + std::to_string(entry.Tile) + " with palette " +
               std::to_string(entry.Palette) + " in this map format; nothing was written.";
    // One span from the first changed byte to the last, so that the entry
    // and its attribute byte are written together or not at all.
    std::int64_t first = blocks->front().Offset, end = first;
    for (const ByteBlock& block : *blocks) {
        first = std::min(first, block.Offset);
        end = std::max(end, block.Offset + static_cast<std::int64_t>(block.Bytes.size()));
    }
    if (first < 0 || end > static_cast<std::int64_t>(mapBytes.size()))
        return std::string("The entry lies outside the map's bytes; nothing was written.");
    std::vector<std::uint8_t> span(mapBytes.begin() + first, mapBytes.begin() + end);
    for (const ByteBlock& block : *blocks)
        std::copy(block.Bytes.begin(), block.Bytes.end(), span.begin() + (block.Offset - first));
    if (const RomWriteResult written = mapStore.WriteAt(shape.MapAddress + first, span.data(), span.size()); !written)
        return written.Reason;
    return std::nullopt;
}
