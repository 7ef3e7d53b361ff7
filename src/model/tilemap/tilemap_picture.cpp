#include "model/tilemap/tilemap_picture.h"

#include "model/core/tile_codec.h"
#include "model/core/tile_io.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

bool Consistent(const LoadedTilemap& map)
{
    return !TilemapShapeProblem(map.Shape) &&
           map.Entries.size() == static_cast<std::size_t>(map.Shape.Width) * static_cast<std::size_t>(map.Shape.Height);
}

// One read of the tiles from `first` to `last`; a run that starts outside
// the 32-bit addresses of a store lies wholly outside it and reads as 0,
// as ReadTiles reads a run that starts past the end.
void ReadTileRange(const TilemapShape& shape, const TileStore& tileStore, int first, int last,
                   std::vector<std::uint8_t>& pixels)
{
    const int count = last - first + 1;
    pixels.assign(static_cast<std::size_t>(count) * TilePixelCount, 0);
    const std::int64_t start = shape.TilesAddress + std::int64_t{first} * StandardModes[shape.TileMode].BytesPerTile;
    if (start < std::numeric_limits<std::int32_t>::min() || start > std::numeric_limits<std::int32_t>::max())
        return;
    ReadTiles(tileStore, shape.TileMode, static_cast<std::int32_t>(start), count, pixels.data());
}

}  // namespace

LoadedTilemap ReadTilemap(const TilemapShape& shape, const TileStore& mapStore, const TileStore& tileStore)
{
    LoadedTilemap map;
    map.Shape = shape;
    if (TilemapShapeProblem(shape))
        return map;

    // Bytes before offset 0 are not delivered any more than those past the
    // end; both stay 0.
    map.MapBytes.assign(static_cast<std::size_t>(TilemapByteCount(shape)), 0);
    const std::int64_t skipped = std::min<std::int64_t>(std::max<std::int64_t>(-shape.MapAddress, 0),
                                                        static_cast<std::int64_t>(map.MapBytes.size()));
    if (skipped < static_cast<std::int64_t>(map.MapBytes.size()))
        mapStore.ReadAt(shape.MapAddress + skipped, map.MapBytes.data() + skipped,
                        map.MapBytes.size() - static_cast<std::size_t>(skipped));
    map.Entries = DecodeTilemap(shape, map.MapBytes);

    const auto [lowest, highest] = std::minmax_element(map.Entries.begin(), map.Entries.end(),
                                                       [](const auto& a, const auto& b) { return a.Tile < b.Tile; });
    map.FirstTile = lowest->Tile;
    ReadTileRange(shape, tileStore, lowest->Tile, highest->Tile, map.TilePixels);
    return map;
}

void RenderTilemap(const LoadedTilemap& map, std::uint8_t* indices)
{
    if (!Consistent(map))
        return;
    const TilemapShape& shape = map.Shape;
    const int bits = StandardModes[shape.TileMode].BitsPerPixel;
    const std::size_t rowLength = static_cast<std::size_t>(shape.Width) * 8;
    const auto tileCount = static_cast<std::int64_t>(map.TilePixels.size() / TilePixelCount);
    static constexpr std::array<std::uint8_t, TilePixelCount> BlankTile{};

    for (int y = 0; y < shape.Height; ++y) {
        for (int x = 0; x < shape.Width; ++x) {
            const TilemapEntry& entry = map.Entries[static_cast<std::size_t>(y) * shape.Width + x];
            // An entry changed since the tiles were read may name one that was
            // not read: it shows blank until the map is read again.
            const std::int64_t slot = std::int64_t{entry.Tile} - map.FirstTile;
            const std::uint8_t* tile =
                slot >= 0 && slot < tileCount ? map.TilePixels.data() + slot * TilePixelCount : BlankTile.data();
            // Indices wrap at 256 rather than stop at 255: a palette row past
            // the last starts over at row 0, and in the 8-bit modes, whose one
            // row is all 256 colors, the row drops out and the pixel stands.
            const auto rowStart =
                static_cast<std::uint8_t>(static_cast<unsigned>(shape.PaletteBase + entry.Palette) << bits);
            std::uint8_t* cell =
                indices + static_cast<std::size_t>(y) * 8 * rowLength + static_cast<std::size_t>(x) * 8;
            for (int row = 0; row < 8; ++row) {
                const std::uint8_t* source = tile + (entry.FlipY ? 7 - row : row) * 8;
                std::uint8_t* target = cell + static_cast<std::size_t>(row) * rowLength;
                // Two loops rather than a test per pixel: each is one short vector add.
                if (entry.FlipX)
                    for (int column = 0; column < 8; ++column)
                        target[column] = static_cast<std::uint8_t>(rowStart + source[7 - column]);
                else
                    for (int column = 0; column < 8; ++column)
                        target[column] = static_cast<std::uint8_t>(rowStart + source[column]);
            }
        }
    }
}

IndexedImage TilemapPicture(const LoadedTilemap& map, const WorkingPaletteTable& palette)
{
    IndexedImage image;
    if (!Consistent(map))
        return image;
    image.Width = map.Shape.Width * 8;
    image.Height = map.Shape.Height * 8;
    image.Indices.resize(static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height));
    RenderTilemap(map, image.Indices.data());
    image.Palette.assign(palette.begin(), palette.end());
    image.BitDepth = 8;
    return image;
}
