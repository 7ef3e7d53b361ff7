#include "model/editor/image_formats.h"

#include "model/editor/bmp_exchange.h"
#include "model/editor/png_exchange.h"
#include "model/tools/tile_pattern.h"
#include "support/expect_message.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

TEST(ImageFormats, DialogFiltersKeepTheirText)
{
    EXPECT_EQ(AnyImageFilter(), "Pictures (*.png;*.bmp)|*.png;*.bmp|PNG image (*.png)|*.png|"
                                "Bitmap file 128x128x256 colors (*.BMP)|*.bmp");
    EXPECT_EQ(ImageFilter(BmpImageFile), "Bitmap file 128x128x256 colors (*.BMP)|*.bmp");
}

TEST(ImageFormats, ANameIsReadAsTheFormatItsExtensionCallsFor)
{
    const struct {
        const char* Path;
        const ImageFileFormat* Format;
    } cases[] = {
        {"/p/tiles.bmp", &BmpImageFile}, {"TILES.BMP", &BmpImageFile},   {"tiles.png", &PngImageFile},
        {"tiles.gif", &PngImageFile},    {"a.bmp/tiles", &PngImageFile},
    };
    for (const auto& c : cases)
        EXPECT_EQ(&ImageFormatForPath(c.Path), c.Format) << c.Path;
}

TEST(ImageFormats, ABmpPictureIsQueriedCellByCellAndWrittenBackByteForByte)
{
    std::mt19937 random(5);
    EditorSlotTable slots{};
    for (EditorSlot& slot : slots)
        std::generate(slot.Pixels.begin(), slot.Pixels.end(), [&] { return std::uint8_t(random()); });
    BmpPalette palette{};
    std::generate(palette.begin(), palette.end(), [&] { return random() & 0xFFFFFF; });
    const std::vector<std::uint8_t> file = BuildBmpFile(BuildBmpHeader(), slots, palette);
    TempDir dir;
    const std::string path = dir.WriteFile("cells.Bmp", file);

    std::optional<UserMessage> problem;
    const std::vector<QueryTile> query = QueryFromPictureFile(path, problem);
    ASSERT_EQ(query.size(), slots.size());
    for (int i = 0; i < EditorSlotCount; ++i) {
        EXPECT_EQ(query[i].Pixels, slots[i].Pixels) << i;
        EXPECT_EQ(query[i].Column * 100 + query[i].Row, i % EditorColumns * 100 + i / EditorColumns);
    }

    Loaded<IndexedImage> image = ReadImageFile(path, BmpImageFile);
    EXPECT_EQ(BmpImageFile.Encode(image, nullptr), file);
    // Colors the image lacks are written black.
    image.Palette.resize(16);
    std::vector<std::uint8_t> blackAfter16 = file;
    std::fill(blackAfter16.begin() + BmpHeaderSize + 16 * 4, blackAfter16.begin() + BmpPixelOffset, 0);
    EXPECT_EQ(BmpImageFile.Encode(image, nullptr), blackAfter16);
}

TEST(ImageFormats, EachFormatRefusesWhatItCannotHold)
{
    TempDir dir;
    std::optional<UserMessage> problem;
    QueryFromPictureFile(dir.WriteFile("short.bmp", std::vector<std::uint8_t>(100, 0)), problem);
    ExpectMessage(problem, "Only 128x128 pixel 256 colors BMP files can be imported.", "Invalid file size",
                  MsgIcon::Critical);

    IndexedImage wide;
    wide.Width = 136;
    wide.Height = 128;
    wide.Indices.assign(136 * 128, 0);
    wide.Palette.assign(4, 0);
    std::string reason;
    EXPECT_TRUE(BmpImageFile.Encode(wide, &reason).empty());
    EXPECT_EQ(reason, "a BMP file holds a picture of 128 x 128 pixels with at most 256 colors; this one is 136 x "
                      "128 pixels with 4 colors");
    EXPECT_FALSE(PngImageFile.Encode(wide, &reason).empty());
}
