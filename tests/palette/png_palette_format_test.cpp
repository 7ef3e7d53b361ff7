#include "model/palette/palette_files.h"
#include "model/palette/png_palette_format.h"
#include "support/expect_message.h"
#include "support/plain_png.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

TEST(PngPalette, ReadsThePaletteOfAnIndexedImageBlackAfterIt)
{
    const PlainPng png{.Width = 2,
                       .Height = 1,
                       .BitDepth = 8,
                       .ColorType = 3,
                       .Samples = {0, 2},
                       .Palette = {1, 2, 3, 255, 128, 0, 0, 0, 255}};
    TempDir dir;
    const PaletteLoad load =
        LoadPaletteFile(dir.WriteFile("p.png", WritePlainPng(png)), PngPaletteFile, NesColorTable{});
    ASSERT_FALSE(load.Error);
    Palette256 expected{};
    expected[0] = MakePackedColor(1, 2, 3);
    expected[1] = MakePackedColor(255, 128, 0);
    expected[2] = MakePackedColor(0, 0, 255);
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Colors, expected);
    EXPECT_EQ(load.Sets[0].Description, "PNG palette");
}

namespace {

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

}  // namespace

TEST(PngPalette, RefusesOtherImagesWithTheReason)
{
    const PlainPng truecolor{.Width = 1, .Height = 1, .BitDepth = 8, .ColorType = 2, .Samples = {1, 2, 3}};
    const std::pair<std::vector<std::uint8_t>, std::string> cases[] = {
        {WritePlainPng(truecolor), "Not an indexed PNG: the image is truecolor; save it with a palette of at most 256 "
                                   "colors."},
        {{'G', 'I', 'F', '8'}, "Not a PNG file."},
        {Cut(WritePlainPng(truecolor), 40), "The PNG file is damaged or cut short ("},
    };
    for (const auto& [bytes, reason] : cases) {
        const PaletteLoad load = ReadPngPalette(bytes);
        ASSERT_TRUE(load.Error);
        EXPECT_EQ(load.Error->Text.substr(0, 36 + reason.size()), "No palette read from the PNG image.\r" + reason);
        EXPECT_EQ(load.Error->Caption, "Brixel");
        EXPECT_TRUE(load.Sets.empty());
    }
}
