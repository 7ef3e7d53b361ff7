#include "model/palette/act_palette_format.h"
#include "model/palette/palette_files.h"
#include "support/expect_message.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Color i is (i, 255 - i, 3i); with a trailer when count is given.
Bytes ActFile(int count = -1, std::uint16_t transparent = ActNoTransparentColor)
{
    Bytes bytes;
    for (int i = 0; i < 256; ++i)
        bytes.insert(bytes.end(), {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 3)});
    if (count >= 0)
        bytes.insert(bytes.end(), {std::uint8_t(count >> 8), std::uint8_t(count), std::uint8_t(transparent >> 8),
                                   std::uint8_t(transparent)});
    return bytes;
}

}  // namespace

TEST(ActPalette, ReadsTheColorsTheFileSaysItUsesBlackAfterThem)
{
    const std::pair<Bytes, int> cases[] = {{ActFile(), 256}, {ActFile(256), 256}, {ActFile(3, 1), 3}, {ActFile(1), 1}};
    for (const auto& [file, used] : cases) {
        const PaletteLoad load = ReadActPalette(file);
        ASSERT_FALSE(load.Error) << used;
        Palette256 expected{};
        for (int i = 0; i < used; ++i)
            expected[i] = MakePackedColor(i, 255 - i, (i * 3) & 0xFF);
        ASSERT_EQ(load.Sets.size(), 1u);
        EXPECT_EQ(load.Sets[0].Description, "ACT palette");
        EXPECT_EQ(load.Sets[0].Colors, expected) << used;
    }
}

TEST(ActPalette, RefusesOtherSizesAndCountsNamingWhatItFound)
{
    TempDir dir;
    const std::pair<Bytes, std::string> cases[] = {
        {Bytes(767, 0), "Filesize must be 768 or 772 bytes, not 767."},
        {Bytes(769, 0), "Filesize must be 768 or 772 bytes, not 769."},
        {Bytes(773, 0), "Filesize must be 768 or 772 bytes, not 773."},
        {Bytes(1052, 0), "Filesize must be 768 or 772 bytes, not 1052."},
        {Bytes{}, "Filesize must be 768 or 772 bytes, not 0."},
        {ActFile(0), "The number of colors must be 1 to 256, not 0."},
        {ActFile(257), "The number of colors must be 1 to 256, not 257."},
        {ActFile(0xFFFF, 0), "The number of colors must be 1 to 256, not 65535."},
    };
    for (const auto& [file, secondLine] : cases) {
        const std::string text = "Not an Adobe color table.\r" + secondLine;
        ExpectMessage(ReadActPalette(file).Error, text, "Brixel", MsgIcon::None);
        const PaletteLoad fromFile = LoadPaletteFile(dir.WriteFile("c.act", file), ActPaletteFile, NesColorTable{});
        ExpectMessage(fromFile.Error, text, "Brixel", MsgIcon::None);
        EXPECT_TRUE(fromFile.Sets.empty());
    }
}

TEST(ActPalette, SavesTheSelectedSetAs768BytesThatLoadBack)
{
    auto list = std::make_unique<ColorSetList>();
    list->ColorSets[1].Colors = ReadActPalette(ActFile()).Sets.at(0).Colors;
    list->SetCount = 2;
    list->SelectedSet = 1;
    TempDir dir;
    const std::string path = (dir.Path() / "set.act").string();
    ASSERT_FALSE(SavePaletteFile(path, ActPaletteFile, *list));
    EXPECT_EQ(ReadWholeFile(path), ActFile());
    const PaletteLoad load = LoadPaletteFile(path, ActPaletteFile, NesColorTable{});
    ASSERT_FALSE(load.Error);
    EXPECT_EQ(load.Sets.at(0).Colors, list->ColorSets[1].Colors);
}
