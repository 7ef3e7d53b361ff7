#include "model/palette/color_encoding.h"
#include "model/palette/color_sets.h"

#include <gtest/gtest.h>

namespace {

NesColorTable TestNesColors()
{
    NesColorTable table{};
    for (int i = 0; i < 64; ++i)
        table[i] = MakePackedColor(i, 2 * i, 3 * i);
    return table;
}

}  // namespace

TEST(ColorEncoding, FifteenBitWordsToColors)
{
    const NesColorTable nes = TestNesColors();
    for (std::uint8_t encoding : {EncodingRgb15, EncodingBgr15})
        EXPECT_EQ(ColToRGB(0x7FFF, encoding, nes), MakePackedColor(248, 248, 248));
    EXPECT_EQ(ColToRGB(0x001F, EncodingBgr15, nes), MakePackedColor(248, 0, 0));
    EXPECT_EQ(ColToRGB(0x001F, EncodingRgb15, nes), MakePackedColor(0, 0, 248));
    EXPECT_EQ(ColToRGB(0x801F, EncodingBgr15, nes), MakePackedColor(248, 0, 0));
    EXPECT_EQ(ColToRGB(0x801F, EncodingRgb15, nes), MakePackedColor(0, 0, 248));
    EXPECT_EQ(ColToRGB(0x03E0, EncodingRgb15, nes), MakePackedColor(0, 248, 0));
}

TEST(ColorEncoding, ColorsToFifteenBitWords)
{
    EXPECT_EQ(RGBToCol(MakePackedColor(255, 0, 0), EncodingBgr15), 0x001F);
    EXPECT_EQ(RGBToCol(MakePackedColor(255, 0, 0), EncodingRgb15), 0x7C00);
    EXPECT_EQ(RGBToCol(MakePackedColor(7, 7, 7), EncodingBgr15), 0);
    EXPECT_EQ(RGBToCol(MakePackedColor(7, 7, 7), EncodingRgb15), 0);
    EXPECT_EQ(RGBToCol(MakePackedColor(255, 255, 255), EncodingNes), 0);
    // Through a word and back the three low bits of each channel go.
    const NesColorTable nes = TestNesColors();
    EXPECT_EQ(ColToRGB(RGBToCol(MakePackedColor(13, 100, 255), EncodingBgr15), EncodingBgr15, nes),
              MakePackedColor(8, 96, 248));
}

TEST(ColorEncoding, NesBytesAndCygneWords)
{
    const NesColorTable nes = TestNesColors();
    EXPECT_EQ(ColToRGB(0x41, EncodingNes, nes), nes[1]);
    EXPECT_EQ(ColToRGB(0x16, EncodingNes, nes), nes[0x16]);
    EXPECT_EQ(CygneToRGB(0x0F3A), MakePackedColor(240, 48, 160));
    EXPECT_EQ(CygneToRGB(0xF000), 0u);
}

TEST(ColorSetList, AddDeleteAndRoom)
{
    ColorSetList list;
    Palette256 colors{};
    for (const char* name : {"A", "B", "C"})
        ASSERT_TRUE(AddSet(list, colors, name));
    list.SelectedSet = 1;
    DeleteSelectedSet(list);
    EXPECT_EQ(list.SetCount, 2);
    EXPECT_EQ(list.ColorSets[0].Description, "A");
    EXPECT_EQ(list.ColorSets[1].Description, "C");
    EXPECT_EQ(list.SelectedSet, 1);

    while (AddSet(list, colors, "x")) {
    }
    EXPECT_EQ(list.SetCount, 255);
    EXPECT_FALSE(list.HasRoomBelow(255));
    list.SetCount = 254;
    EXPECT_TRUE(list.HasRoomBelow(255));
    EXPECT_FALSE(list.HasRoomBelow(254));
}

TEST(ColorSetList, RandomColorsStayInRange)
{
    std::mt19937 random(5);
    const Palette256 colors = RandomColors(random);
    EXPECT_EQ(std::count(colors.begin(), colors.end(), colors[0]), 1);
    for (PackedColor color : colors)
        EXPECT_EQ(color >> 24, 0u);
}
