// ReadTilemap, RenderTilemap and EncodeEntryChange on fuzzed bytes. Input: a
// 16-byte header, then the store's bytes (at most 64 KiB): format (modulo
// 6), width and height (1 + byte modulo 40), flags (bit 0: signed tiles),
// tile mode (modulo 12), palette base, tile 0's address and the map's
// address (2 bytes each, little-endian, signed), then a new entry: tile (2
// bytes, signed), palette (1 byte, signed), flags (bits 0-2: h-flip,
// v-flip, priority) and its index (2 bytes, modulo entries + 1, so one lies
// outside the map).
//
// Checks: the map bytes are the store's where it has them and 0 elsewhere;
// each entry written back unchanged gives exactly the map's bytes; the tiles
// read are the range the entries name; each pixel is its tile's pixel,
// mirrored, plus its palette row, modulo 256; a new entry is refused exactly
// when it lies outside the map or the format, and once written it reads back
// with every other entry as it was (but the palette of its NES quadrant).

#include "fuzz_support.h"
#include "model/core/tile_codec.h"
#include "model/tilemap/tilemap_picture.h"
#include "support/memory_store.h"

#include <algorithm>

namespace {

constexpr std::size_t HeaderBytes = 16;
constexpr std::size_t MaxStore = 1 << 16;

bool InFormat(const TilemapShape& shape, const TilemapEntry& entry)
{
    const TilemapFormatInfo& info = FormatInfo(shape.Format);
    const bool signedTiles = shape.SignedTiles && shape.Format == TilemapFormat::GameBoy;
    return entry.Tile >= (signedTiles ? -128 : 0) && entry.Tile <= (signedTiles ? 127 : info.MaxTile) &&
           entry.Palette >= 0 && entry.Palette <= info.MaxPalette && (info.HasFlips || !(entry.FlipX || entry.FlipY)) &&
           (info.HasPriority || !entry.Priority);
}

Bytes Applied(Bytes map, const std::vector<ByteBlock>& blocks)
{
    for (const ByteBlock& block : blocks) {
        CHECK(block.Offset >= 0 &&
              block.Offset + static_cast<std::int64_t>(block.Bytes.size()) <= static_cast<std::int64_t>(map.size()));
        std::copy(block.Bytes.begin(), block.Bytes.end(), map.begin() + block.Offset);
    }
    return map;
}

void CheckPicture(const LoadedTilemap& map)
{
    const TilemapShape& shape = map.Shape;
    const int bits = StandardModes[shape.TileMode].BitsPerPixel;
    const IndexedImage image = TilemapPicture(map, Palette256{});
    CHECK(image.Width == shape.Width * 8 && image.Height == shape.Height * 8 && image.Palette.size() == 256);
    for (int y = 0; y < image.Height; ++y) {
        for (int x = 0; x < image.Width; ++x) {
            const TilemapEntry& entry = map.Entries[static_cast<std::size_t>(y / 8 * shape.Width + x / 8)];
            const int column = entry.FlipX ? 7 - x % 8 : x % 8, row = entry.FlipY ? 7 - y % 8 : y % 8;
            const std::uint8_t pixel =
                map.TilePixels[static_cast<std::size_t>((entry.Tile - map.FirstTile) * 64 + row * 8 + column)];
            CHECK(pixel < (1 << bits));
            CHECK(image.Indices[static_cast<std::size_t>(y * image.Width + x)] ==
                  (((shape.PaletteBase + entry.Palette) << bits) + pixel) % 256);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t h[HeaderBytes] = {};
    std::copy_n(data, std::min(size, HeaderBytes), h);
    const Bytes store(data + std::min(size, HeaderBytes), data + std::min(size, HeaderBytes + MaxStore));
    auto signed16 = [&](int at) { return static_cast<std::int16_t>(h[at] | h[at + 1] << 8); };

    TilemapShape shape;
    shape.Format = static_cast<TilemapFormat>(h[0] % 6);
    shape.Width = 1 + h[1] % 40;
    shape.Height = 1 + h[2] % 40;
    shape.SignedTiles = (h[3] & 1) != 0;
    shape.TileMode = static_cast<GraphicsMode>(h[4] % ModeCount);
    shape.PaletteBase = h[5];
    shape.TilesAddress = signed16(6);
    shape.MapAddress = signed16(8);
    CHECK(!TilemapShapeProblem(shape));
    const int entries = shape.Width * shape.Height;

    const MemoryStore source(store);
    const LoadedTilemap map = ReadTilemap(shape, source, source);
    CHECK(static_cast<std::int64_t>(map.MapBytes.size()) == TilemapByteCount(shape));
    for (std::size_t i = 0; i < map.MapBytes.size(); ++i) {
        const std::int64_t at = shape.MapAddress + static_cast<std::int64_t>(i);
        CHECK(map.MapBytes[i] == (at >= 0 && at < static_cast<std::int64_t>(store.size()) ? store[at] : 0));
    }
    CHECK(map.Entries.size() == static_cast<std::size_t>(entries));
    int lowest = map.Entries[0].Tile, highest = lowest;
    for (int i = 0; i < entries; ++i) {
        const TilemapEntry& entry = map.Entries[static_cast<std::size_t>(i)];
        lowest = std::min(lowest, entry.Tile), highest = std::max(highest, entry.Tile);
        const auto same = EncodeEntryChange(shape, map.MapBytes, i, entry);
        CHECK(same && Applied(map.MapBytes, *same) == map.MapBytes);
    }
    CHECK(map.FirstTile == lowest &&
          map.TilePixels.size() == static_cast<std::size_t>(highest - lowest + 1) * TilePixelCount);
    CheckPicture(map);

    const TilemapEntry fresh{signed16(10), static_cast<std::int8_t>(h[12]), (h[13] & 1) != 0, (h[13] & 2) != 0,
                             (h[13] & 4) != 0};
    const int index = (h[14] | h[15] << 8) % (entries + 1);
    const auto blocks = EncodeEntryChange(shape, map.MapBytes, index, fresh);
    CHECK(blocks.has_value() == (index < entries && InFormat(shape, fresh)));
    if (!blocks)
        return 0;
    const std::vector<TilemapEntry> after = DecodeTilemap(shape, Applied(map.MapBytes, *blocks));
    for (int i = 0; i < entries; ++i) {
        TilemapEntry expected = i == index ? fresh : map.Entries[static_cast<std::size_t>(i)];
        const bool sameQuadrant =
            i % shape.Width / 2 == index % shape.Width / 2 && i / shape.Width / 2 == index / shape.Width / 2;
        if (shape.Format == TilemapFormat::Nes && sameQuadrant)
            expected.Palette = fresh.Palette;
        CHECK(after[static_cast<std::size_t>(i)] == expected);
    }
    return 0;
}
