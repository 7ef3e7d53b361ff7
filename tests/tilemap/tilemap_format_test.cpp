// Entry changes written as each console lays out its entries: exactly the
// entry's bytes, every bit the entry does not own kept.

#include "model/tilemap/tilemap_format.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

TilemapShape ShapeOf(TilemapFormat format, int width, int height, bool signedTiles = false)
{
    TilemapShape shape;
    shape.Format = format;
    shape.Width = width;
    shape.Height = height;
    shape.SignedTiles = signedTiles;
    return shape;
}

TilemapEntry Entry(int tile, int palette = 0, bool flipX = false, bool flipY = false, bool priority = false)
{
    return {tile, palette, flipX, flipY, priority};
}

}  // namespace

TEST(TilemapFormat, ByteCountsHoldTheEntriesAndTheNesAttributes)
{
    const std::vector<std::pair<TilemapShape, std::int64_t>> cases = {
        {ShapeOf(TilemapFormat::Nes, 32, 30), 960 + 64}, {ShapeOf(TilemapFormat::Nes, 5, 3), 15 + 2},
        {ShapeOf(TilemapFormat::GameBoy, 32, 32), 1024}, {ShapeOf(TilemapFormat::MegaDrive, 256, 256), 131072},
        {ShapeOf(TilemapFormat::Snes, 0, 32), 0},        {ShapeOf(TilemapFormat::GbaText, 32, 257), 0},
    };
    for (const auto& [shape, bytes] : cases)
        EXPECT_EQ(TilemapByteCount(shape), bytes) << FormatInfo(shape.Format).ShortName << " " << shape.Width;
}

TEST(TilemapFormat, EntryChangesWriteTheEntryAndKeepWhatItDoesNotOwn)
{
    struct Case {
        std::string Name;
        TilemapShape Shape;
        Bytes Map;
        int Index;
        TilemapEntry Entry;
        std::vector<std::pair<std::int64_t, Bytes>> Blocks;
    };
    Bytes nesMap(25, 0);  // 5 x 5: two rows of two attribute bytes
    nesMap.insert(nesMap.end(), {0x1B, 0xFF, 0x00, 0xFF});
    // clang-format off
    const std::vector<Case> cases = {
        {"gb", ShapeOf(TilemapFormat::GameBoy, 2, 1), {1, 2}, 1, Entry(0xAB), {{1, {0xAB}}}},
        {"gb signed", ShapeOf(TilemapFormat::GameBoy, 2, 1, true), {1, 2}, 0, Entry(-128), {{0, {0x80}}}},
        // Entry (4, 4): the top-left quadrant (bits 0-1) of the last attribute byte.
        {"nes top-left", ShapeOf(TilemapFormat::Nes, 5, 5), nesMap, 24, Entry(0x42, 2), {{24, {0x42}}, {28, {0xFE}}}},
        // Entry (3, 2): the bottom-right quadrant (bits 6-7) of the first.
        {"nes bottom-right", ShapeOf(TilemapFormat::Nes, 5, 5), nesMap, 13, Entry(0x99, 1),
         {{13, {0x99}}, {25, {0x5B}}}},
        {"snes all set", ShapeOf(TilemapFormat::Snes, 1, 1), {0, 0}, 0, Entry(0x3FF, 7, true, true, true),
         {{0, {0xFF, 0xFF}}}},
        {"snes all cleared but v-flip", ShapeOf(TilemapFormat::Snes, 1, 1), {0xFF, 0xFF}, 0,
         Entry(0x123, 2, false, true), {{0, {0x23, 0x89}}}},
        {"gba", ShapeOf(TilemapFormat::GbaText, 2, 1), {0, 0, 0xFF, 0xFF}, 1, Entry(0x2AA, 9, true),
         {{2, {0xAA, 0x96}}}},
        {"gba8 keeps palette bits", ShapeOf(TilemapFormat::Gba8bpp, 1, 1), {0xFF, 0xAF}, 0,
         Entry(0x0F0, 0, false, true), {{0, {0xF0, 0xA8}}}},
        {"md big-endian", ShapeOf(TilemapFormat::MegaDrive, 2, 1), {0, 0, 0, 0}, 1, Entry(0x7FF, 2, true, false, true),
         {{2, {0xCF, 0xFF}}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto blocks = EncodeEntryChange(c.Shape, c.Map, c.Index, c.Entry);
        ASSERT_TRUE(blocks);
        ASSERT_EQ(blocks->size(), c.Blocks.size());
        for (std::size_t i = 0; i < blocks->size(); ++i) {
            EXPECT_EQ((*blocks)[i].Offset, c.Blocks[i].first);
            EXPECT_EQ((*blocks)[i].Bytes, c.Blocks[i].second);
        }
        // Read back, the map holds the entry.
        Bytes changed = c.Map;
        for (const ByteBlock& block : *blocks)
            std::copy(block.Bytes.begin(), block.Bytes.end(), changed.begin() + block.Offset);
        EXPECT_EQ(DecodeTilemap(c.Shape, changed)[static_cast<std::size_t>(c.Index)], c.Entry);
    }
}

TEST(TilemapFormat, EntryChangesOutOfRangeAreRefused)
{
    using F = TilemapFormat;
    // clang-format off
    const std::vector<std::tuple<TilemapShape, int, TilemapEntry>> cases = {
        {ShapeOf(F::GameBoy, 2, 2), 0, Entry(256)}, {ShapeOf(F::GameBoy, 2, 2), 0, Entry(-1)},
        {ShapeOf(F::GameBoy, 2, 2, true), 0, Entry(128)}, {ShapeOf(F::GameBoy, 2, 2, true), 0, Entry(-129)},
        {ShapeOf(F::GameBoy, 2, 2), 0, Entry(1, 1)}, {ShapeOf(F::GameBoy, 2, 2), 0, Entry(1, 0, true)},
        {ShapeOf(F::Nes, 2, 2), 0, Entry(1, 4)}, {ShapeOf(F::Nes, 2, 2), 0, Entry(1, 0, false, true)},
        {ShapeOf(F::Snes, 2, 2), 0, Entry(1024)}, {ShapeOf(F::Snes, 2, 2), 0, Entry(1, 8)},
        {ShapeOf(F::GbaText, 2, 2), 0, Entry(1, 16)}, {ShapeOf(F::GbaText, 2, 2), 0, Entry(1, 0, false, false, true)},
        {ShapeOf(F::Gba8bpp, 2, 2), 0, Entry(1, 1)}, {ShapeOf(F::MegaDrive, 2, 2), 0, Entry(2048)},
        {ShapeOf(F::MegaDrive, 2, 2), 0, Entry(1, 4)}, {ShapeOf(F::MegaDrive, 2, 2), 0, Entry(1, -1)},
        {ShapeOf(F::MegaDrive, 2, 2), -1, Entry(1)}, {ShapeOf(F::MegaDrive, 2, 2), 4, Entry(1)},
    };
    // clang-format on
    const Bytes map(64, 0);
    for (const auto& [shape, index, entry] : cases)
        EXPECT_FALSE(EncodeEntryChange(shape, map, index, entry))
            << FormatInfo(shape.Format).ShortName << " index " << index << " tile " << entry.Tile << " palette "
            << entry.Palette;
}
