#include "model/tilemap/tilemap_edits.h"

#include <algorithm>
#include <vector>

std::int64_t EntryTileAddress(const TilemapSpec& spec, int tile)
{
    return spec.TilesAddress + std::int64_t{tile} * StandardModes[spec.TileMode].BytesPerTile;
}

int SmallestTileNumber(const TilemapSpec& spec)
{
    return spec.Format == TilemapFormat::GameBoy && spec.SignedTiles ? -128 : 0;
}

int LargestTileNumber(const TilemapSpec& spec)
{
    return spec.Format == TilemapFormat::GameBoy && spec.SignedTiles ? 127 : FormatInfo(spec.Format).MaxTile;
}

std::optional<int> TileNumberFor(const TilemapSpec& spec, std::int64_t address)
{
    const std::int64_t bytesPerTile = StandardModes[spec.TileMode].BytesPerTile;
    const std::int64_t distance = address - spec.TilesAddress;
    if (distance % bytesPerTile != 0)
        return std::nullopt;
    const std::int64_t tile = distance / bytesPerTile;
    if (tile < SmallestTileNumber(spec) || tile > LargestTileNumber(spec))
        return std::nullopt;
    return static_cast<int>(tile);
}

std::optional<std::string> WriteTilemapEntry(TileStore& mapStore, const TilemapSpec& spec,
                                             std::span<const std::uint8_t> mapBytes, int index,
                                             const TilemapEntry& entry)
{
    const std::optional<std::vector<ByteBlock>> blocks = EncodeEntryChange(spec, mapBytes, index, entry);
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
    if (const RomWriteResult written = mapStore.WriteAt(spec.MapAddress + first, span.data(), span.size()); !written)
        return written.Reason;
    return std::nullopt;
}
