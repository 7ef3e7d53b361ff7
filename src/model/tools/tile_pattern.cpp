#include "model/tools/tile_pattern.h"

#include "model/core/tile_sheet.h"
#include "model/editor/image_formats.h"

#include <algorithm>
#include <array>

TilePixels FlipTile(const TilePixels& tile, TileFlip flip)
{
    const bool mirrorX = flip == TileFlip::Horizontal || flip == TileFlip::Both;
    const bool mirrorY = flip == TileFlip::Vertical || flip == TileFlip::Both;
    TilePixels out{};
    for (int y = 0; y < TileSide; ++y)
        for (int x = 0; x < TileSide; ++x) {
            const int fromX = mirrorX ? TileSide - 1 - x : x;
            const int fromY = mirrorY ? TileSide - 1 - y : y;
            out[y * TileSide + x] = tile[fromY * TileSide + fromX];
        }
    return out;
}

TilePixels CanonicalPattern(const TilePixels& tile)
{
    std::array<std::int16_t, 256> renamed;
    renamed.fill(-1);
    std::int16_t next = 0;
    TilePixels out{};
    for (std::size_t i = 0; i < tile.size(); ++i) {
        auto& name = renamed[tile[i]];
        if (name < 0)
            name = next++;
        out[i] = static_cast<std::uint8_t>(name);
    }
    return out;
}

bool IsUniform(const TilePixels& tile)
{
    return std::all_of(tile.begin(), tile.end(), [&](std::uint8_t p) { return p == tile[0]; });
}

std::vector<QueryTile> QueryFromImage(int width, int height, const std::vector<std::uint8_t>& indices)
{
    std::vector<QueryTile> query;
    if (width <= 0 || height <= 0 ||
        indices.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return query;
    const int columns = TilesAlong(width);
    for (int row = 0; row < TilesAlong(height); ++row)
        for (int column = 0; column < columns; ++column)
            query.push_back({CutTile(indices, width, row * columns + column), column, row});
    return query;
}

std::vector<QueryTile> QueryFromImage(int width, int height, const std::vector<std::uint8_t>& indices,
                                      const TileLayout& layout)
{
    if (layout == TileLayout{})
        return QueryFromImage(width, height, indices);
    std::vector<QueryTile> query;
    if (width <= 0 || height <= 0 ||
        indices.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return query;
    const int columns = TilesAlong(width) / layout.BlockWidth * layout.BlockWidth;
    const int lines = TilesAlong(height) / layout.BlockHeight * layout.BlockHeight;
    for (int tile = 0; tile < columns * lines; ++tile) {
        const GridPosition at = LayoutPositionOf(layout, columns, tile);
        query.push_back({CutTile(indices, width, at.Line * TilesAlong(width) + at.Column), tile, 0});
    }
    return query;
}

std::vector<QueryTile> QueryFromCells(const EditorSlotTable& slots, int firstSlot, int count)
{
    std::vector<QueryTile> query;
    if (firstSlot < 0 || firstSlot >= EditorSlotCount || count <= 0)
        return query;
    const int row = firstSlot / EditorColumns;
    const int firstColumn = firstSlot % EditorColumns;
    const int lastColumn = std::min(EditorColumns, firstColumn + count);
    for (int column = firstColumn; column < lastColumn; ++column)
        query.push_back({slots[SlotAt(column, row)].Pixels, column, row});
    return query;
}

std::vector<QueryTile> QueryFromPictureFile(const std::string& path, std::optional<UserMessage>& problem)
{
    const Loaded<IndexedImage> load = ReadImageFile(path, ImageFormatForPath(path));
    if (load.Error) {
        problem = load.Error;
        return {};
    }
    return QueryFromImage(load.Width, load.Height, load.Indices);
}
