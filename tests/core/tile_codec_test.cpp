#include "model/core/mode_table.h"
#include "core/reference_codec.h"
#include "model/core/tile_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

namespace {

using Pixels = std::array<std::uint8_t, 64>;
using Bytes = std::vector<std::uint8_t>;

Pixels Decode(std::uint8_t mode, const Bytes& bytes)
{
    Pixels pixels{};
    DecodeTile(mode, bytes.data(), pixels.data());
    return pixels;
}

Bytes Encode(std::uint8_t mode, const Pixels& pixels)
{
    Bytes bytes(StandardModes[mode].BytesPerTile, 0xAA);
    EncodeTile(mode, pixels.data(), bytes.data());
    return bytes;
}

Bytes TileBytes(std::uint8_t mode, std::initializer_list<std::pair<int, std::uint8_t>> setBytes)
{
    Bytes bytes(StandardModes[mode].BytesPerTile, 0);
    for (auto [index, value] : setBytes)
        bytes[index] = value;
    return bytes;
}

Pixels Filled(std::uint8_t value)
{
    Pixels pixels;
    pixels.fill(value);
    return pixels;
}

std::array<std::uint8_t, 8> Row(const Pixels& pixels, int y)
{
    std::array<std::uint8_t, 8> row;
    std::copy_n(pixels.begin() + 8 * y, 8, row.begin());
    return row;
}

using RowValues = std::array<std::uint8_t, 8>;

class EveryMode : public ::testing::TestWithParam<std::uint8_t> {};

std::string ModeName(const ::testing::TestParamInfo<std::uint8_t>& info)
{
    std::string name(StandardModes[info.param].Name);
    std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
    return name;
}

}  // namespace

// The fast codecs against the bit-by-bit reference on random data.
TEST_P(EveryMode, DecodeMatchesReferenceOnRandomBytes)
{
    const std::uint8_t mode = GetParam();
    std::mt19937 random(1234 + mode);
    for (int round = 0; round < 2000; ++round) {
        Bytes bytes(StandardModes[mode].BytesPerTile);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        const Pixels pixels = Decode(mode, bytes);
        ASSERT_EQ(pixels, ReferenceDecode(mode, bytes)) << "round " << round;
        for (auto p : pixels)
            ASSERT_LT(p, 1 << StandardModes[mode].BitsPerPixel);
    }
}

TEST_P(EveryMode, EncodeMatchesReferenceOnRandomIndicesIncludingOutOfRange)
{
    const std::uint8_t mode = GetParam();
    std::mt19937 random(99 + mode);
    for (int round = 0; round < 2000; ++round) {
        Pixels pixels;
        for (auto& p : pixels)
            p = static_cast<std::uint8_t>(random());
        ASSERT_EQ(Encode(mode, pixels), ReferenceEncode(mode, pixels)) << "round " << round;
    }
}

TEST_P(EveryMode, EncodeThenDecodeGivesThePixelsBackWhenAllAreInRange)
{
    const std::uint8_t mode = GetParam();
    const int limit = 1 << StandardModes[mode].BitsPerPixel;
    std::mt19937 random(7 + mode);
    for (int round = 0; round < 500; ++round) {
        Pixels pixels;
        for (auto& p : pixels)
            p = static_cast<std::uint8_t>(random() % limit);
        ASSERT_EQ(Decode(mode, Encode(mode, pixels)), pixels);
    }
}

INSTANTIATE_TEST_SUITE_P(TileCodec, EveryMode, ::testing::Range<std::uint8_t>(0, ModeCount), ModeName);

TEST(TileDecode, PlanarRowLayouts)
{
    EXPECT_EQ(Row(Decode(ModeGameboy, TileBytes(ModeGameboy, {{0, 0x3C}, {1, 0x7E}})), 0),
              (RowValues{0, 2, 3, 3, 3, 3, 2, 0}));

    const Pixels nes = Decode(ModeNes, TileBytes(ModeNes, {{0, 0x80}, {8, 0x80}, {1, 0x01}}));
    EXPECT_EQ(nes[0], 3);
    EXPECT_EQ(nes[1 * 8 + 7], 1);
    EXPECT_EQ(std::count(nes.begin(), nes.end(), 0), 62);

    EXPECT_EQ(Row(Decode(ModeGgMsWsc, TileBytes(ModeGgMsWsc, {{0, 0x80}, {3, 0x80}})), 0),
              (RowValues{9, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Decode(ModeSnes3bpp, TileBytes(ModeSnes3bpp, {{16, 0x80}}))[0], 4);
    // Block 3, plane 7, row 0.
    EXPECT_EQ(Decode(ModeSnes8bpp, TileBytes(ModeSnes8bpp, {{49, 0x80}}))[0], 128);
    EXPECT_EQ(Decode(ModeSnes4bpp, TileBytes(ModeSnes4bpp, {{17 + 2 * 7, 0x01}}))[7 * 8 + 7], 8);
    EXPECT_EQ(Row(Decode(ModeOneBit, TileBytes(ModeOneBit, {{7, 0xA1}})), 7), (RowValues{1, 0, 1, 0, 0, 0, 0, 1}));
}

TEST(TileDecode, PackedTwoBitRowsRunInOppositeDirections)
{
    EXPECT_EQ(Row(Decode(ModeNeoGeoPocket, TileBytes(ModeNeoGeoPocket, {{0, 0x01}, {1, 0x00}})), 0),
              (RowValues{0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Row(Decode(ModeVirtualBoy, TileBytes(ModeVirtualBoy, {{0, 0x01}, {1, 0x00}})), 0),
              (RowValues{1, 0, 0, 0, 0, 0, 0, 0}));
    // The second byte of a Neo Geo Pocket row holds the left pixels, top bits first.
    EXPECT_EQ(Row(Decode(ModeNeoGeoPocket, TileBytes(ModeNeoGeoPocket, {{2, 0x1B}, {3, 0xE4}})), 1),
              (RowValues{3, 2, 1, 0, 0, 1, 2, 3}));
}

TEST(TileDecode, NibbleOrderOfSegaGenesisAndGba)
{
    EXPECT_EQ(Row(Decode(ModeSegaGenesis, TileBytes(ModeSegaGenesis, {{0, 0x12}})), 0),
              (RowValues{1, 2, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Row(Decode(ModeGba4bpp, TileBytes(ModeGba4bpp, {{0, 0x12}})), 0), (RowValues{2, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Decode(ModeGba8bpp, TileBytes(ModeGba8bpp, {{63, 0xC7}}))[63], 0xC7);
}

TEST(TileEncode, IndexFiveIsReducedPerMode)
{
    for (std::uint8_t mode : {ModeGameboy, ModeNes, ModeOneBit})
        EXPECT_EQ(Decode(mode, Encode(mode, Filled(5)))[0], 1) << StandardModes[mode].Name;
    for (std::uint8_t mode : {ModeNeoGeoPocket, ModeVirtualBoy})
        EXPECT_EQ(Decode(mode, Encode(mode, Filled(5)))[0], 3) << StandardModes[mode].Name;
    for (std::uint8_t mode :
         {ModeSnes3bpp, ModeSnes4bpp, ModeSegaGenesis, ModeGgMsWsc, ModeGba4bpp, ModeGba8bpp, ModeSnes8bpp})
        EXPECT_EQ(Decode(mode, Encode(mode, Filled(5))), Filled(5)) << StandardModes[mode].Name;
}

TEST(TileEncode, IndexTwentyDependsOnModeAndColumn)
{
    const RowValues genesis = Row(Decode(ModeSegaGenesis, Encode(ModeSegaGenesis, Filled(20))), 0);
    EXPECT_EQ(genesis, (RowValues{4, 15, 4, 15, 4, 15, 4, 15}));
    const RowValues gba = Row(Decode(ModeGba4bpp, Encode(ModeGba4bpp, Filled(20))), 0);
    EXPECT_EQ(gba, (RowValues{15, 4, 15, 4, 15, 4, 15, 4}));
    EXPECT_EQ(Decode(ModeSnes4bpp, Encode(ModeSnes4bpp, Filled(20))), Filled(4));
    EXPECT_EQ(Decode(ModeGgMsWsc, Encode(ModeGgMsWsc, Filled(20))), Filled(15));
    EXPECT_EQ(Decode(ModeSnes3bpp, Encode(ModeSnes3bpp, Filled(20))), Filled(7));
    EXPECT_EQ(Decode(ModeSnes8bpp, Encode(ModeSnes8bpp, Filled(200))), Filled(200));
}

TEST(TileEncode, ExactBytesOfUniformTiles)
{
    EXPECT_EQ(Encode(ModeGameboy, Filled(3)), Bytes(16, 0xFF));
    EXPECT_EQ(Encode(ModeVirtualBoy, Filled(3)), Bytes(16, 0xFF));
    EXPECT_EQ(Encode(ModeSegaGenesis, Filled(1)), Bytes(32, 0x11));
    EXPECT_EQ(Encode(ModeGba4bpp, Filled(1)), Bytes(32, 0x11));
    EXPECT_EQ(Encode(ModeOneBit, Filled(0)), Bytes(8, 0x00));

    // NES keeps its two planes apart: plane 0 then plane 1.
    Bytes nes(8, 0xFF);
    nes.resize(16, 0x00);
    EXPECT_EQ(Encode(ModeNes, Filled(1)), nes);

    // SNES 3bpp: planes 0-1 interleaved, then plane 2 alone.
    Bytes snes3(16, 0x00);
    snes3.resize(24, 0xFF);
    EXPECT_EQ(Encode(ModeSnes3bpp, Filled(4)), snes3);
}

TEST(TileEncode, SinglePixelLandsInTheRightBit)
{
    Pixels pixels{};
    pixels[2 * 8 + 1] = 3;  // x = 1, y = 2
    EXPECT_EQ(Encode(ModeGameboy, pixels), TileBytes(ModeGameboy, {{4, 0x40}, {5, 0x40}}));
    EXPECT_EQ(Encode(ModeNeoGeoPocket, pixels), TileBytes(ModeNeoGeoPocket, {{5, 0x30}}));
    EXPECT_EQ(Encode(ModeVirtualBoy, pixels), TileBytes(ModeVirtualBoy, {{4, 0x0C}}));
}

TEST(TileCodec, RowBufferPositions)
{
    EXPECT_EQ(RowBufferPosition(ModeNes, 7), 0);
    EXPECT_EQ(RowBufferPosition(ModeNes, 8), 1);
    EXPECT_EQ(RowBufferPosition(ModeSnes3bpp, 15), 1);
    EXPECT_EQ(RowBufferPosition(ModeSnes3bpp, 17), 0);
    EXPECT_EQ(RowBufferPosition(ModeGgMsWsc, 6), 2);
    EXPECT_EQ(RowBufferPosition(ModeSnes8bpp, 63), 1);
    EXPECT_EQ(RowBufferPosition(ModeVirtualBoy, 15), 0);
}
