#include "model/core/indexed_png.h"

#include "support/plain_png.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// A palette PNG of the given depth with random indices and 2^depth random
// colors; 13 pixels wide so that rows end inside a byte at depths 1-4.
PlainPng RandomIndexed(int depth, unsigned seed)
{
    std::mt19937 random(seed);
    PlainPng png;
    png.Width = 13;
    png.Height = 5;
    png.BitDepth = depth;
    png.ColorType = 3;
    for (int i = 0; i < 13 * 5; ++i)
        png.Samples.push_back(static_cast<std::uint8_t>(random() % (1u << depth)));
    for (int i = 0; i < 3 << depth; ++i)
        png.Palette.push_back(static_cast<std::uint8_t>(random()));
    return png;
}

std::vector<PackedColor> Colors(const std::vector<std::uint8_t>& rgb)
{
    std::vector<PackedColor> colors;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        colors.push_back(MakePackedColor(rgb[i], rgb[i + 1], rgb[i + 2]));
    return colors;
}

std::string RefusalOf(const std::vector<std::uint8_t>& bytes)
{
    const Loaded<IndexedImage> load = DecodeIndexedPng(bytes);
    return load.Error ? load.Error->Text : "accepted";
}

}  // namespace

TEST(IndexedPng, ReadsEveryBitDepthWithExactIndicesAndPalette)
{
    for (const int depth : {1, 2, 4, 8}) {
        SCOPED_TRACE(depth);
        const PlainPng png = RandomIndexed(depth, 7u + static_cast<unsigned>(depth));
        const Loaded<IndexedImage> load = DecodeIndexedPng(WritePlainPng(png));
        ASSERT_FALSE(load.Error) << load.Error->Text;
        EXPECT_EQ(load.Width, 13);
        EXPECT_EQ(load.Height, 5);
        EXPECT_EQ(load.BitDepth, depth);
        EXPECT_EQ(load.Indices, png.Samples);
        EXPECT_EQ(load.Palette, Colors(png.Palette));
    }
}

TEST(IndexedPng, WritesEveryBitDepthAsAPlainReaderSeesIt)
{
    TempDir dir;
    for (const int depth : {1, 2, 4, 8}) {
        SCOPED_TRACE(depth);
        const PlainPng source = RandomIndexed(depth, 40u + static_cast<unsigned>(depth));
        IndexedImage image{13, 5, source.Samples, Colors(source.Palette), depth, {}};
        const std::string path = (dir.Path() / "out.png").string();
        ASSERT_FALSE(WriteIndexedPng(path, image));
        PlainPng read;
        ASSERT_TRUE(ReadPlainPng(ReadWholeFile(path), read));
        EXPECT_EQ(read.BitDepth, depth);
        EXPECT_EQ(read.ColorType, 3);
        EXPECT_EQ(read.Samples, source.Samples);
        EXPECT_EQ(read.Palette, source.Palette);
        const Loaded<IndexedImage> back = ReadIndexedPng(path);
        ASSERT_FALSE(back.Error);
        EXPECT_EQ(back.Indices, image.Indices);
        EXPECT_EQ(back.Palette, image.Palette);
    }
    // Fewer palette entries than the depth allows are written as they are.
    IndexedImage few{8, 1, {0, 1, 2, 2, 1, 0, 0, 2}, {0x0000FF, 0x00FF00, 0xFF0000}, 2, {}};
    const Loaded<IndexedImage> back = DecodeIndexedPng(EncodeIndexedPng(few));
    ASSERT_FALSE(back.Error);
    EXPECT_EQ(back.Palette, few.Palette);
    EXPECT_EQ(back.Indices, few.Indices);
}

TEST(IndexedPng, TextsBeforeAndAfterThePixelsAreReadAndWritten)
{
    // A text chunk after the pixels and one whose key a writer may not use.
    std::vector<std::uint8_t> file = WritePlainPng(RandomIndexed(2, 8));
    for (const std::string& chunk : {std::string("Late\0after", 10), std::string(" Bad key\0x", 10)}) {
        const std::vector<std::uint8_t> text = PngChunk("tEXt", {chunk.begin(), chunk.end()});
        file.insert(file.end() - 12, text.begin(), text.end());
    }
    const Loaded<IndexedImage> load = DecodeIndexedPng(file);
    ASSERT_FALSE(load.Error) << load.Error->Text;
    EXPECT_EQ(load.Texts, (std::vector<PngText>{{"Late", "after"}}));
    IndexedImage image = load;
    image.Texts.insert(image.Texts.begin(), {"Brixel count", "3"});
    EXPECT_EQ(DecodeIndexedPng(EncodeIndexedPng(image)).Texts, image.Texts);
    image.Texts.push_back({"two  spaces", ""});
    std::string reason;
    EXPECT_TRUE(EncodeIndexedPng(image, &reason).empty());
    EXPECT_EQ(reason, "'two  spaces' cannot be the keyword of a PNG text");
}

TEST(IndexedPng, EncodeRefusesInconsistentImages)
{
    const IndexedImage good{2, 1, {0, 3}, {1, 2, 3, 4}, 2, {}};
    EXPECT_FALSE(EncodeIndexedPng(good).empty());
    IndexedImage indexTooLarge = good;
    indexTooLarge.Indices[1] = 4;
    IndexedImage wrongCount = good;
    wrongCount.Indices.push_back(0);
    IndexedImage paletteTooLong = good;
    paletteTooLong.Palette.push_back(5);
    IndexedImage badDepth = good;
    badDepth.BitDepth = 3;
    for (const IndexedImage& bad : {indexTooLarge, wrongCount, paletteTooLong, badDepth})
        EXPECT_TRUE(EncodeIndexedPng(bad).empty());
}

TEST(IndexedPng, RefusesOtherColorTypesAsNotIndexed)
{
    PlainPng truecolor{2, 2, 8, 2, std::vector<std::uint8_t>(12, 200), {}};
    PlainPng gray{2, 2, 8, 0, {0, 80, 160, 255}, {}};
    PlainPng grayAlpha{1, 1, 8, 4, {9, 255}, {}};
    PlainPng rgba{1, 1, 8, 6, {1, 2, 3, 4}, {}};
    EXPECT_EQ(RefusalOf(WritePlainPng(truecolor)),
              "not an indexed PNG: the image is truecolor; save it with a palette of at most 256 colors");
    EXPECT_EQ(RefusalOf(WritePlainPng(gray)),
              "not an indexed PNG: the image is grayscale; save it with a palette of at most 256 colors");
    EXPECT_NE(RefusalOf(WritePlainPng(grayAlpha)).find("not an indexed PNG"), std::string::npos);
    EXPECT_NE(RefusalOf(WritePlainPng(rgba)).find("not an indexed PNG"), std::string::npos);
}

TEST(IndexedPng, RefusesDamagedAndCutShortFiles)
{
    const std::vector<std::uint8_t> good = WritePlainPng(RandomIndexed(4, 3));
    EXPECT_EQ(RefusalOf({}), "not a PNG file");
    EXPECT_EQ(RefusalOf({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}), "not a PNG file");
    // Every cut from inside the header to just before the end chunk.
    for (std::size_t size = 8; size < good.size() - 12; ++size) {
        const std::string refusal = RefusalOf({good.begin(), good.begin() + static_cast<long>(size)});
        EXPECT_EQ(refusal.rfind("the PNG file is damaged or cut short (", 0), 0u) << size << ": " << refusal;
    }
    std::vector<std::uint8_t> badCrc = good;
    badCrc[29] ^= 1;  // inside IHDR's data
    EXPECT_EQ(RefusalOf(badCrc).rfind("the PNG file is damaged", 0), 0u);

    PlainPng noPalette = RandomIndexed(2, 5);
    noPalette.Palette.clear();
    EXPECT_EQ(RefusalOf(WritePlainPng(noPalette)).rfind("the PNG file is damaged or cut short (", 0), 0u);
}

TEST(IndexedPng, RefusesOversizeHeadersBeforeReadingPixels)
{
    const std::string tooLarge = "the image is too large: more than 16384 x 16384 pixels, or a side above 1048576";
    // Headers only, with a tiny IDAT: a reader that allocated first would
    // ask for gigabytes here.
    for (const auto& [width, height] : {std::pair<std::uint32_t, std::uint32_t>{16385, 16385},
                                        {16384, 16385},
                                        {1, (1u << 20) + 1},
                                        {0x7FFFFFFF, 0x7FFFFFFF}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        std::vector<std::uint8_t> file = WritePlainPng(PlainPng{1, 1, 8, 3, {0}, {1, 2, 3}});
        // Put the huge size into the 1 x 1 file's header and fix its CRC.
        const std::vector<std::uint8_t> header = PngChunk(
            "IHDR", {static_cast<std::uint8_t>(width >> 24), static_cast<std::uint8_t>(width >> 16),
                     static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
                     static_cast<std::uint8_t>(height >> 24), static_cast<std::uint8_t>(height >> 16),
                     static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height), 8, 3, 0, 0, 0});
        std::copy(header.begin(), header.end(), file.begin() + 8);
        EXPECT_EQ(RefusalOf(file), tooLarge);
    }
    // Just inside the limits the header is taken; the missing rows then refuse it.
    std::vector<std::uint8_t> file = WritePlainPng(PlainPng{1, 1, 8, 3, {0}, {1, 2, 3}});
    const std::vector<std::uint8_t> header = PngChunk("IHDR", {0, 0, 0, 128, 0, 2, 0, 0, 8, 3, 0, 0, 0});
    std::copy(header.begin(), header.end(), file.begin() + 8);
    EXPECT_EQ(RefusalOf(file).rfind("the PNG file is damaged or cut short (", 0), 0u);
}

TEST(IndexedPng, ReadFileNamesMissingFiles)
{
    const Loaded<IndexedImage> load = ReadIndexedPng("/nonexistent/brixel/image.png");
    ASSERT_TRUE(load.Error);
    EXPECT_EQ(load.Error->Text, "Could not find the selected file.");
}
