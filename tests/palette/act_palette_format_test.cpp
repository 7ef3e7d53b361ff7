#include "model/palette/act_palette_format.h"
#include "model/palette/palette_files.h"
#include "support/expect_message.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// 256 colors, color i being (i, 255 - i, 3i), as red, green, blue bytes.
Bytes ColorBytes()
{
    Bytes bytes;
    for (int i = 0; i < 256; ++i)
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                   static_cast<std::uint8_t>(i * 3)});
    return bytes;
}

Bytes WithTrailer(std::uint16_t count, std::uint16_t transparent)
{
    Bytes bytes = ColorBytes();
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count),
                               static_cast<std::uint8_t>(transparent >> 8), static_cast<std::uint8_t>(transparent)});
    return bytes;
}

}  // namespace

TEST(ActPalette, ReadsTheColorsTheFileSaysItUses)
{
    const struct {
        const char* Name;
        Bytes File;
        int Used;
    } cases[] = {
        {"no trailer", ColorBytes(), 256},
        {"256, none transparent", WithTrailer(256, ActNoTransparentColor), 256},
        {"3, color 1 transparent", WithTrailer(3, 1), 3},
        {"1", WithTrailer(1, ActNoTransparentColor), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const PaletteLoad load = ReadActPalette(c.File);
        ASSERT_FALSE(load.Error);
        ASSERT_EQ(load.Sets.size(), 1u);
        EXPECT_EQ(load.Sets[0].Description, "ACT palette");
        Palette256 expected{};
        for (int i = 0; i < c.Used; ++i)
            expected[i] = MakePackedColor(i, 255 - i, (i * 3) & 0xFF);
        EXPECT_EQ(load.Sets[0].Colors, expected);
    }
}

TEST(ActPalette, RefusesOtherSizesAndCountsNamingWhatItFound)
{
    TempDir dir;
    const struct {
        Bytes File;
        std::string SecondLine;
    } cases[] = {
        {Bytes(767, 0), "Filesize must be 768 or 772 bytes, not 767."},
        {Bytes(769, 0), "Filesize must be 768 or 772 bytes, not 769."},
        {Bytes(773, 0), "Filesize must be 768 or 772 bytes, not 773."},
        {Bytes(1052, 0), "Filesize must be 768 or 772 bytes, not 1052."},
        {Bytes{}, "Filesize must be 768 or 772 bytes, not 0."},
        {WithTrailer(0, ActNoTransparentColor), "The number of colors must be 1 to 256, not 0."},
        {WithTrailer(257, ActNoTransparentColor), "The number of colors must be 1 to 256, not 257."},
        {WithTrailer(0xFFFF, 0), "The number of colors must be 1 to 256, not 65535."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.SecondLine);
        const std::string text = "Not an Adobe color table.\r" + c.SecondLine;
        ExpectMessage(ReadActPalette(c.File).Error, text, "Brixel", MsgIcon::None);
        const PaletteLoad fromFile = LoadPaletteFile(dir.WriteFile("c.act", c.File), ActPaletteFile, NesColorTable{});
        ExpectMessage(fromFile.Error, text, "Brixel", MsgIcon::None);
        EXPECT_TRUE(fromFile.Sets.empty());
    }
}

TEST(ActPalette, SavesTheSelectedSetAs768BytesThatLoadBack)
{
    std::mt19937 random(3);
    auto list = std::make_unique<ColorSetList>();
    for (int set = 0; set < 2; ++set)
        for (PackedColor& color : list->ColorSets[set].Colors)
            color = random() & 0xFFFFFF;
    list->SetCount = 2;
    list->SelectedSet = 1;
    const Palette256& selected = list->ColorSets[1].Colors;

    TempDir dir;
    const std::string path = (dir.Path() / "set.act").string();
    ASSERT_FALSE(SavePaletteFile(path, ActPaletteFile, *list));
    const Bytes saved = ReadWholeFile(path);
    ASSERT_EQ(saved.size(), ActColorBytes);
    EXPECT_EQ(saved[3 * 200 + 1], GreenOf(selected[200]));
    const PaletteLoad load = LoadPaletteFile(path, ActPaletteFile, NesColorTable{});
    ASSERT_FALSE(load.Error);
    EXPECT_EQ(load.Sets.at(0).Colors, selected);
}
