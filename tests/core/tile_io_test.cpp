#include "model/core/mode_table.h"
#include "core/reference_codec.h"
#include "model/core/rom_file.h"
#include "model/core/tile_io.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

namespace {

using Pixels = std::array<std::uint8_t, 64>;
using Bytes = std::vector<std::uint8_t>;

class TileIo : public ::testing::Test {
protected:
    // Opens a new file holding the given bytes.
    void OpenFile(const Bytes& content)
    {
        path_ = dir_.WriteFile("rom.bin", content);
        ASSERT_TRUE(file_.Open(path_).Opened());
    }

    std::vector<Pixels> Read(std::uint8_t mode, std::int32_t address, int count)
    {
        std::vector<std::uint8_t> destination(static_cast<std::size_t>(count) * 64, 0xEE);
        ReadTiles(file_, mode, address, count, destination.data());
        std::vector<Pixels> tiles(static_cast<std::size_t>(count));
        for (int t = 0; t < count; ++t)
            std::copy_n(destination.begin() + t * 64, 64, tiles[t].begin());
        return tiles;
    }

    // The bytes the tile is decoded from when nothing is missing.
    static Pixels Expected(std::uint8_t mode, const Bytes& tileBytes) { return ReferenceDecode(mode, tileBytes); }

    TempDir dir_;
    std::string path_;
    RomFile file_;
};

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t length)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + length));
}


}  // namespace

TEST_F(TileIo, ReadsConsecutiveTilesWithTheModesStride)
{
    const Bytes content = RandomBytes(4096, 1);
    OpenFile(content);
    for (std::uint8_t mode = 0; mode < ModeCount; ++mode) {
        const int stride = StandardModes[mode].BytesPerTile;
        const auto tiles = Read(mode, 100, 5);
        for (int t = 0; t < 5; ++t)
            EXPECT_EQ(tiles[t], Expected(mode, Slice(content, 100 + t * stride, stride)))
                << StandardModes[mode].Name << " tile " << t;
    }
}

TEST_F(TileIo, CountZeroAndEntriesPastTheRunAreLeftAlone)
{
    OpenFile(RandomBytes(256, 2));
    std::vector<std::uint8_t> destination(3 * 64, 0xEE);
    ReadTiles(file_, ModeGameboy, 0, 0, destination.data());
    EXPECT_EQ(destination, std::vector<std::uint8_t>(3 * 64, 0xEE));

    ReadTiles(file_, ModeGameboy, 0, 2, destination.data());
    EXPECT_EQ(std::count(destination.begin() + 128, destination.end(), 0xEE), 64);
    EXPECT_NE(std::count(destination.begin(), destination.begin() + 128, 0xEE), 128);
}

TEST_F(TileIo, EighteenByteGameboyFileRepeatsTheLastDeliveredRow)
{
    Bytes content = RandomBytes(16, 3);
    content.push_back(0x3C);
    content.push_back(0x7E);
    OpenFile(content);
    const auto tiles = Read(ModeGameboy, 0, 2);
    EXPECT_EQ(tiles[0], Expected(ModeGameboy, Slice(content, 0, 16)));
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(std::vector<std::uint8_t>(tiles[1].begin() + 8 * y, tiles[1].begin() + 8 * y + 8),
                  (std::vector<std::uint8_t>{0, 2, 3, 3, 3, 3, 2, 0}))
            << "row " << y;
}

TEST_F(TileIo, RowBufferCarriesOverIntoATileWhollyPastTheEnd)
{
    const Bytes content = RandomBytes(16, 4);
    OpenFile(content);
    const auto tiles = Read(ModeGameboy, 0, 2);
    // Every row of the second tile is made of bytes 14 and 15.
    Bytes lastRow;
    for (int y = 0; y < 8; ++y) {
        lastRow.push_back(content[14]);
        lastRow.push_back(content[15]);
    }
    EXPECT_EQ(tiles[1], Expected(ModeGameboy, lastRow));

    // A call of its own starts from zeros.
    EXPECT_EQ(Read(ModeGameboy, 16, 1)[0], Pixels{});
}

TEST_F(TileIo, EveryByteAfterTheEndRepeatsTheLastByteInGba8bpp)
{
    const Bytes content = RandomBytes(40, 5);
    OpenFile(content);
    const Pixels tile = Read(ModeGba8bpp, 0, 1)[0];
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(tile[i], i < 40 ? content[i] : content[39]) << i;
}

TEST_F(TileIo, NesPlanesKeepTheirOwnRowBufferPositions)
{
    // The file ends inside the second plane: bytes 12-15 repeat byte 11.
    const Bytes content = RandomBytes(12, 6);
    OpenFile(content);
    Bytes effective = content;
    effective.resize(16, content[11]);
    EXPECT_EQ(Read(ModeNes, 0, 1)[0], Expected(ModeNes, effective));

    // The file ends inside the first plane: bytes 5-7 repeat byte 4, and the
    // second plane was never filled, so it is all 0.
    OpenFile(Slice(content, 0, 5));
    effective = Slice(content, 0, 5);
    effective.resize(8, content[4]);
    effective.resize(16, 0);
    EXPECT_EQ(Read(ModeNes, 0, 1)[0], Expected(ModeNes, effective));
}

TEST_F(TileIo, Snes3bppThirdPlaneSharesRowBufferPositionZero)
{
    const Bytes content = RandomBytes(16, 7);
    OpenFile(content);
    Bytes effective = content;
    effective.resize(24, content[14]);
    EXPECT_EQ(Read(ModeSnes3bpp, 0, 1)[0], Expected(ModeSnes3bpp, effective));

    const Bytes longer = RandomBytes(17, 8);
    OpenFile(longer);
    effective = longer;
    effective.resize(24, longer[16]);
    EXPECT_EQ(Read(ModeSnes3bpp, 0, 1)[0], Expected(ModeSnes3bpp, effective));
}

TEST_F(TileIo, GgPlanesUseFourRowBufferPositions)
{
    const Bytes content = RandomBytes(10, 9);
    OpenFile(content);
    Bytes effective = content;
    effective.resize(32);
    for (int k = 10; k < 32; ++k)
        effective[k] = effective[k - 4];
    EXPECT_EQ(Read(ModeGgMsWsc, 0, 1)[0], Expected(ModeGgMsWsc, effective));
}

TEST_F(TileIo, EmptyFileAndFarAddressesReadAsZeros)
{
    OpenFile({});
    for (std::uint8_t mode = 0; mode < ModeCount; ++mode)
        for (const auto& tile : Read(mode, 0, 3))
            EXPECT_EQ(tile, Pixels{}) << StandardModes[mode].Name;

    OpenFile(RandomBytes(64, 10));
    EXPECT_EQ(Read(ModeGameboy, 64, 1)[0], Pixels{});
    EXPECT_EQ(Read(ModeGba8bpp, 2147483600, 2)[1], Pixels{});
}

TEST_F(TileIo, NoFileOpenGivesZeros)
{
    for (const auto& tile : Read(ModeSnes8bpp, 0, 4))
        EXPECT_EQ(tile, Pixels{});
}

TEST_F(TileIo, BytesBeforeOffsetZeroAreNotDelivered)
{
    const Bytes content = RandomBytes(64, 11);
    OpenFile(content);
    // Leave the file somewhere else first: nothing may depend on it.
    Read(ModeGba8bpp, 32, 1);

    const Pixels oneBit = Read(ModeOneBit, -4, 1)[0];
    Bytes effective{0, 0, 0, 0, content[0], content[1], content[2], content[3]};
    EXPECT_EQ(oneBit, Expected(ModeOneBit, effective));

    // The second tile of the run starts inside the file.
    const auto tiles = Read(ModeGameboy, -16, 2);
    EXPECT_EQ(tiles[0], Pixels{});
    EXPECT_EQ(tiles[1], Expected(ModeGameboy, Slice(content, 0, 16)));

    EXPECT_EQ(Read(ModeGameboy, -2147483647 - 1, 3)[2], Pixels{});
}

TEST_F(TileIo, WriteThenReadGivesTheTileBackInEveryMode)
{
    OpenFile(Bytes(1024, 0x5A));
    std::mt19937 random(12);
    for (std::uint8_t mode = 0; mode < ModeCount; ++mode) {
        const int limit = 1 << StandardModes[mode].BitsPerPixel;
        for (int round = 0; round < 20; ++round) {
            Pixels pixels;
            for (auto& p : pixels)
                p = static_cast<std::uint8_t>(random() % limit);
            const std::int32_t address = static_cast<std::int32_t>(random() % (1024 - 64));
            ASSERT_TRUE(WriteTile(file_, mode, address, pixels));
            ASSERT_EQ(Read(mode, address, 1)[0], pixels) << StandardModes[mode].Name;
        }
    }
    EXPECT_EQ(ReadWholeFile(path_).size(), 1024u);
}

TEST_F(TileIo, WriteReplacesExactlyTheTilesBytes)
{
    const Bytes content = RandomBytes(64, 13);
    OpenFile(content);
    Pixels threes;
    threes.fill(3);
    ASSERT_TRUE(WriteTile(file_, ModeGameboy, 20, threes));
    Bytes expected = content;
    std::fill(expected.begin() + 20, expected.begin() + 36, 0xFF);
    EXPECT_EQ(ReadWholeFile(path_), expected);
}

TEST_F(TileIo, WriteRefusesBlocksNotWhollyInsideTheFile)
{
    const Bytes content = RandomBytes(100, 14);
    OpenFile(content);
    Pixels ones;
    ones.fill(1);
    EXPECT_FALSE(WriteTile(file_, ModeGameboy, -1, ones));
    EXPECT_FALSE(WriteTile(file_, ModeGameboy, 85, ones));   // ends one byte past the end
    EXPECT_FALSE(WriteTile(file_, ModeGameboy, 100, ones));  // starts at the end
    EXPECT_FALSE(WriteTile(file_, ModeGba8bpp, 2147483647, ones));
    EXPECT_EQ(ReadWholeFile(path_), content);

    // The last whole tile ends exactly at the end of the file.
    EXPECT_TRUE(WriteTile(file_, ModeGameboy, 84, ones));
    const Bytes after = ReadWholeFile(path_);
    EXPECT_EQ(after.size(), 100u);
    Bytes lastTile;
    for (int y = 0; y < 8; ++y)
        lastTile.insert(lastTile.end(), {0xFF, 0x00});
    EXPECT_EQ(Slice(after, 84, 16), lastTile);
    EXPECT_EQ(Slice(after, 0, 84), Slice(content, 0, 84));
}

TEST_F(TileIo, WriteFailsOnAFileOpenedForReadingOnlyOrClosed)
{
    const Bytes content = RandomBytes(64, 15);
    OpenFile(content);
    ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
    ASSERT_EQ(file_.Open(path_).Status, RomFile::OpenStatus::OpenedReadOnly);
    Pixels ones;
    ones.fill(1);
    EXPECT_FALSE(WriteTile(file_, ModeGameboy, 0, ones));
    file_.Close();
    EXPECT_FALSE(WriteTile(file_, ModeGameboy, 0, ones));
    EXPECT_EQ(ReadWholeFile(path_), content);
}

namespace {

// The row buffer position of tile byte k, written out from the byte-order
// table independently of the codec's own function.
int TablePosition(std::uint8_t mode, int k)
{
    switch (mode) {
    case ModeGameboy:
    case ModeNeoGeoPocket:
    case ModeSnes4bpp:
    case ModeSnes8bpp: return k % 2;
    case ModeNes: return k / 8;
    case ModeSnes3bpp: return k < 16 ? k % 2 : 0;
    case ModeGgMsWsc: return k % 4;
    default: return 0;
    }
}

// Reads byte after byte through the row buffer, as the end-of-file rule is
// defined, then decodes with the reference codec.
std::vector<Pixels> ByteByByteRead(const Bytes& file, std::uint8_t mode, std::int64_t address, int count)
{
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    std::uint8_t rowBuffer[4] = {0, 0, 0, 0};
    std::vector<Pixels> tiles;
    for (int t = 0; t < count; ++t) {
        Bytes tile(bytesPerTile);
        for (int k = 0; k < bytesPerTile; ++k) {
            const std::int64_t at = address + static_cast<std::int64_t>(t) * bytesPerTile + k;
            const int position = TablePosition(mode, k);
            if (at >= 0 && at < static_cast<std::int64_t>(file.size()))
                rowBuffer[position] = file[static_cast<std::size_t>(at)];
            tile[k] = rowBuffer[position];
        }
        tiles.push_back(ReferenceDecode(mode, tile));
    }
    return tiles;
}

}  // namespace

TEST_F(TileIo, MatchesAByteByByteReadAtRandomEdgesInEveryMode)
{
    std::mt19937 random(16);
    for (int round = 0; round < 60; ++round) {
        const Bytes content = RandomBytes(random() % 300, static_cast<unsigned>(round));
        OpenFile(content);
        for (std::uint8_t mode = 0; mode < ModeCount; ++mode)
            for (int read = 0; read < 10; ++read) {
                const auto address = static_cast<std::int32_t>(static_cast<int>(random() % 500) - 150);
                const int count = 1 + static_cast<int>(random() % 12);
                ASSERT_EQ(Read(mode, address, count), ByteByByteRead(content, mode, address, count))
                    << StandardModes[mode].Name << " length " << content.size() << " address " << address
                    << " count " << count;
            }
    }
}
