#include "model/editor/color_mapping.h"

#include <gtest/gtest.h>

namespace {

RgbaImage Picture(std::vector<RgbaPixel> pixels)
{
    return {static_cast<int>(pixels.size()), 1, std::move(pixels)};
}

constexpr RgbaPixel Opaque(int r, int g, int b)
{
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), 255};
}

}  // namespace

TEST(ColorMapping, NearestColorLowestIndexOnTiesTransparentToZero)
{
    // Red twice: the first one wins.
    const std::vector<PackedColor> window{MakePackedColor(0, 0, 0), MakePackedColor(255, 0, 0),
                                          MakePackedColor(0, 0, 255), MakePackedColor(255, 0, 0)};
    const struct {
        RgbaPixel Pixel;
        std::uint8_t Index;
        int SquaredError;
    } cases[] = {
        {Opaque(255, 0, 0), 1, 0},
        {Opaque(250, 0, 0), 1, 25},
        {Opaque(0, 0, 250), 2, 25},
        {{0, 0, 250, 127}, 0, 0},  // transparent, whatever its color
        {{255, 0, 0, 0}, 0, 0},
        {{255, 255, 255, 128}, 1, 2 * 255 * 255},  // as far from red as from blue
        {Opaque(100, 0, 100), 0, 2 * 100 * 100},   // black is nearer than red or blue
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.Pixel.Red} << ',' << int{c.Pixel.Green} << ',' << int{c.Pixel.Blue}
                                        << ',' << int{c.Pixel.Alpha});
        const MappedPicture mapped = MapOntoPalette(Picture({c.Pixel}), window);
        EXPECT_EQ(mapped.Indices, std::vector<std::uint8_t>{c.Index});
        EXPECT_EQ(mapped.Match.LargestSquaredError, c.SquaredError);
        EXPECT_EQ(mapped.Match.InexactPixels, c.SquaredError > 0 ? 1 : 0);
    }
    // Over a whole picture the counts add up and the largest error stays.
    const MappedPicture all =
        MapOntoPalette(Picture({Opaque(250, 0, 0), Opaque(255, 0, 0), Opaque(100, 0, 100), Opaque(250, 0, 0)}), window);
    EXPECT_EQ(all.Indices, (std::vector<std::uint8_t>{1, 1, 0, 1}));
    EXPECT_EQ(all.Match.InexactPixels, 3);
    EXPECT_EQ(all.Match.LargestSquaredError, 20000);
    EXPECT_EQ(ColorMatchText(all.Match, 4), "3 pixels were not an exact match; the largest color error was 141.4");
    EXPECT_EQ(ColorMatchText({1, 25}, 4), "1 pixel was not an exact match; the largest color error was 5.0");
    EXPECT_EQ(ColorMatchText({}, 16384), "all 16384 pixels matched a palette color exactly");
}

TEST(ColorMapping, BuiltPaletteTakesColorsInOrderOfFirstAppearance)
{
    const RgbaPixel clear{1, 2, 3, 0};
    const struct {
        const char* Name;
        std::vector<RgbaPixel> Pixels;
        int Limit;
        std::vector<std::uint8_t> Indices;
        std::vector<std::optional<PackedColor>> Colors;
        std::string Refusal;
    } cases[] = {
        {"opaque",
         {Opaque(9, 9, 9), Opaque(1, 1, 1), Opaque(9, 9, 9), Opaque(5, 5, 5)},
         4,
         {0, 1, 0, 2},
         {MakePackedColor(9, 9, 9), MakePackedColor(1, 1, 1), MakePackedColor(5, 5, 5)},
         ""},
        // A transparent pixel anywhere reserves index 0; as many colors as the mode shows still fit.
        {"transparent later",
         {Opaque(9, 9, 9), Opaque(1, 1, 1), clear, Opaque(5, 5, 5)},
         4,
         {1, 2, 0, 3},
         {std::nullopt, MakePackedColor(9, 9, 9), MakePackedColor(1, 1, 1), MakePackedColor(5, 5, 5)},
         ""},
        {"one too many",
         {Opaque(9, 9, 9), Opaque(1, 1, 1), clear, Opaque(5, 5, 5), Opaque(6, 6, 6), Opaque(1, 1, 1)},
         4,
         {},
         {},
         "the picture has 5 colors; mode gb takes at most 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        BuiltPalette built;
        const auto refusal = BuildPaletteFromPicture(Picture(c.Pixels), c.Limit, "gb", built);
        EXPECT_EQ(refusal.value_or(""), c.Refusal);
        if (refusal)
            continue;
        EXPECT_EQ(built.Indices, c.Indices);
        EXPECT_EQ(built.Colors, c.Colors);
    }
}
