#include "model/core/rgba_png.h"

#include "support/plain_png.h"

#include <gtest/gtest.h>

namespace {

// A 16-bit picture: the 8-bit one of twice the width has the same rows
// byte for byte, so only its header changes.
std::vector<std::uint8_t> SixteenBitPng(PlainPng png)
{
    const std::uint32_t width = png.Width;
    png.Width *= 2;
    std::vector<std::uint8_t> file = WritePlainPng(png);
    const std::vector<std::uint8_t> header{0,  0,
                                           0,  static_cast<std::uint8_t>(width),
                                           0,  0,
                                           0,  static_cast<std::uint8_t>(png.Height),
                                           16, static_cast<std::uint8_t>(png.ColorType),
                                           0,  0,
                                           0};
    const std::vector<std::uint8_t> chunk = PngChunk("IHDR", header);
    std::copy(chunk.begin(), chunk.end(), file.begin() + 8);
    return file;
}

std::string RefusalOf(const std::vector<std::uint8_t>& bytes)
{
    const Loaded<RgbaImage> load = DecodeRgbaPng(bytes);
    EXPECT_TRUE(load.Pixels.empty());
    return load.Error ? load.Error->Text : "(read)";
}

}  // namespace

TEST(RgbaPng, EveryKindOfPictureComesOutAsEightBitRgba)
{
    const struct {
        const char* Name;
        std::vector<std::uint8_t> File;
        std::vector<RgbaPixel> Pixels;
    } cases[] = {
        {"gray 8", WritePlainPng({2, 1, 8, 0, {0, 200}, {}}), {{0, 0, 0, 255}, {200, 200, 200, 255}}},
        {"gray 2",
         WritePlainPng({3, 1, 2, 0, {0, 1, 3}, {}}),
         {{0, 0, 0, 255}, {85, 85, 85, 255}, {255, 255, 255, 255}}},
        {"gray alpha", WritePlainPng({1, 1, 8, 4, {50, 10}, {}}), {{50, 50, 50, 10}}},
        {"truecolor",
         WritePlainPng({2, 1, 8, 2, {1, 2, 3, 250, 251, 252}, {}}),
         {{1, 2, 3, 255}, {250, 251, 252, 255}}},
        {"truecolor alpha",
         WritePlainPng({1, 2, 8, 6, {9, 8, 7, 0, 6, 5, 4, 127}, {}}),
         {{9, 8, 7, 0}, {6, 5, 4, 127}}},
        // 0x12FF scales to 19, where dropping the low byte would give 18.
        {"gray 16", SixteenBitPng({1, 1, 8, 0, {0x12, 0xFF}, {}}), {{19, 19, 19, 255}}},
        {"truecolor alpha 16",
         SixteenBitPng({1, 1, 8, 6, {0, 0, 0x80, 0x00, 0xFF, 0xFF, 0x00, 0x7F}, {}}),
         {{0, 128, 255, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_TRUE(IsTruecolorPng(c.File));
        const Loaded<RgbaImage> load = DecodeRgbaPng(c.File);
        ASSERT_FALSE(load.Error) << load.Error->Text;
        EXPECT_EQ(load.Width * load.Height, static_cast<int>(c.Pixels.size()));
        EXPECT_EQ(load.Pixels, c.Pixels);
    }
}

TEST(RgbaPng, TransparencyChunkMakesItsColorTransparent)
{
    std::vector<std::uint8_t> file = WritePlainPng({2, 1, 8, 2, {10, 20, 30, 10, 20, 31}, {}});
    const std::vector<std::uint8_t> trns = PngChunk("tRNS", {0, 10, 0, 20, 0, 30});
    file.insert(file.begin() + 8 + 25, trns.begin(), trns.end());  // after the header
    const Loaded<RgbaImage> load = DecodeRgbaPng(file);
    ASSERT_FALSE(load.Error) << load.Error->Text;
    EXPECT_EQ(load.Pixels, (std::vector<RgbaPixel>{{10, 20, 30, 0}, {10, 20, 31, 255}}));
}

TEST(RgbaPng, RefusesPalettePicturesDamageAndHugeHeadersWithTheReason)
{
    const std::vector<std::uint8_t> good = WritePlainPng({8, 8, 8, 2, std::vector<std::uint8_t>(192, 7), {}});
    std::vector<std::uint8_t> huge = good;
    const std::vector<std::uint8_t> hugeHeader =
        PngChunk("IHDR", {0, 0, 0x50, 0, 0, 0, 0x50, 0, 8, 2, 0, 0, 0});  // 20480 x 20480
    std::copy(hugeHeader.begin(), hugeHeader.end(), huge.begin() + 8);
    const std::vector<std::uint8_t> cut(good.begin(), good.end() - 20);
    const std::vector<std::uint8_t> palette = WritePlainPng({8, 8, 8, 3, std::vector<std::uint8_t>(64), {0, 0, 0}});
    EXPECT_FALSE(IsTruecolorPng(palette));
    EXPECT_FALSE(IsTruecolorPng({good.begin(), good.begin() + 25}));
    EXPECT_EQ(RefusalOf(palette), "an indexed PNG: its pixels are palette indices, not colors");
    EXPECT_EQ(RefusalOf(huge), "the image is too large: more than 16384 x 16384 pixels, or a side above 1048576");
    EXPECT_EQ(RefusalOf(cut).rfind("the PNG file is damaged or cut short (", 0), 0u) << RefusalOf(cut);
    EXPECT_EQ(RefusalOf({1, 2, 3}), "not a PNG file");
}
