#include "editor/png_exchange.h"

#include "core/rom_file.h"
#include "core/tile_io.h"
#include "support/plain_png.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

WorkingPaletteTable NumberedPalette(int seed)
{
    WorkingPaletteTable palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = MakePackedColor(i, (i + seed) & 255, 255 - i);
    return palette;
}

IndexedImage Image(int width, int height, std::vector<PackedColor> palette, int bitDepth, std::uint8_t index)
{
    IndexedImage image;
    image.Width = width;
    image.Height = height;
    image.Palette = std::move(palette);
    image.BitDepth = bitDepth;
    image.Indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), index);
    return image;
}

std::uint8_t IndexAt(const IndexedImage& image, int x, int y)
{
    return image.Indices[static_cast<std::size_t>(y) * image.Width + x];
}

}  // namespace

TEST(PngPicture, EditorCellsLieInRowsOfSixteenWithTheWholePalette)
{
    EditorSlotTable slots{};
    slots[0].Pixels[0] = 7;             // cell (0, 0), pixel (0, 0)
    slots[17].Pixels[5 * 8 + 3] = 200;  // cell (1, 1), pixel (3, 5)
    slots[14].Pixels[2 * 8 + 7] = 31;   // cell (14, 0), pixel (7, 2)
    slots[255].Pixels[63] = 255;        // cell (15, 15), pixel (7, 7)
    const WorkingPaletteTable palette = NumberedPalette(9);
    const IndexedImage image = EditorPicture(slots, palette);

    ASSERT_EQ(image.Width, 128);
    ASSERT_EQ(image.Height, 128);
    ASSERT_EQ(image.Indices.size(), 128u * 128u);
    EXPECT_EQ(image.BitDepth, 8);
    EXPECT_EQ(IndexAt(image, 0, 0), 7);
    EXPECT_EQ(IndexAt(image, 11, 13), 200);
    EXPECT_EQ(IndexAt(image, 119, 2), 31);
    EXPECT_EQ(IndexAt(image, 127, 127), 255);
    EXPECT_EQ(IndexAt(image, 1, 0), 0);
    EXPECT_EQ(image.Palette, std::vector<PackedColor>(palette.begin(), palette.end()));

    // The picture is one the PNG writer takes and reads back unchanged.
    const Loaded<IndexedImage> back = DecodeIndexedPng(EncodeIndexedPng(image));
    ASSERT_FALSE(back.Error);
    EXPECT_EQ(back.Indices, image.Indices);
}

TEST(PngPicture, BrowserGridShowsTheDecodedTilesFromTheFineOffset)
{
    // GBA 4bpp: 32 bytes a tile, 4 a row, the left pixel in the low nibble.
    TempDir dir;
    std::vector<std::uint8_t> rom(400);
    for (std::size_t i = 0; i < rom.size(); ++i)
        rom[i] = static_cast<std::uint8_t>(i * 37 + 11);
    RomFile file;
    ASSERT_TRUE(file.Open(dir.WriteFile("tiles.gba", rom)).Opened());
    constexpr int Columns = 3;
    constexpr int Lines = 2;
    constexpr int FineOffset = 3;
    std::array<std::uint8_t, Columns * Lines * 64> decoded{};
    ReadTiles(file, ModeGba4bpp, FineOffset, Columns * Lines, decoded.data());

    const WorkingPaletteTable palette = NumberedPalette(4);
    const IndexedImage image = BrowserGridPicture(decoded.data(), Columns, Lines, palette);
    ASSERT_EQ(image.Width, 24);
    ASSERT_EQ(image.Height, 16);
    ASSERT_EQ(image.Indices.size(), 24u * 16u);
    EXPECT_EQ(image.Palette, std::vector<PackedColor>(palette.begin(), palette.end()));
    auto fromRom = [&](int x, int y) {
        const int tile = (y / 8) * Columns + x / 8;
        const std::uint8_t byte = rom[FineOffset + tile * 32 + (y % 8) * 4 + (x % 8) / 2];
        return x % 2 == 0 ? byte & 15 : byte >> 4;
    };
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {7, 7}, {8, 0}, {17, 3}, {23, 7}, {0, 8}, {13, 12}, {23, 15}})
        EXPECT_EQ(IndexAt(image, x, y), fromRom(x, y)) << x << ", " << y;
}

TEST(PngImport, TakesPixelsAndTheColorsThePngHasLeavingTheRest)
{
    // 2 bits a pixel, four colors; cell 0 all index 0, every other cell has
    // other indices.
    IndexedImage png = Image(
        128, 128,
        {MakePackedColor(1, 2, 3), MakePackedColor(10, 20, 30), MakePackedColor(200, 0, 0), MakePackedColor(0, 0, 250)},
        2, 0);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            png.Indices[static_cast<std::size_t>(y) * 128 + x] =
                x < 8 && y < 8 ? 0 : static_cast<std::uint8_t>((x + 2 * y) % 4);
    TempDir dir;
    const std::string path = dir.WriteFile("in.png", EncodeIndexedPng(png));

    EditorSlotTable slots{};
    for (int i = 0; i < EditorSlotCount; ++i)
        slots[i].Address = 64 * i;
    WorkingPaletteTable palette = NumberedPalette(1);
    const WorkingPaletteTable before = palette;
    const Loaded<BmpFileContent> load = LoadPngPicture(path, palette);
    ASSERT_FALSE(load.Error) << load.Error->Text;
    StoreBmpPicture(load.Picture, slots, palette);

    EXPECT_EQ(slots[0].Address, EmptySlot);
    EXPECT_FALSE(slots[0].Edited);
    EXPECT_EQ(slots[1].Address, UnboundTile);
    EXPECT_TRUE(slots[1].Edited);
    EXPECT_EQ(slots[1].Pixels[3 * 8 + 2], (10 + 6) % 4);  // image (10, 3)
    EXPECT_EQ(slots[255].Pixels[63], (127 + 254) % 4);    // image (127, 127)
    EXPECT_EQ(slots[16].Pixels[0], (0 + 16) % 4);         // image (0, 8)
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(palette[i], png.Palette[i]) << i;
    for (int i = 4; i < 256; ++i)
        EXPECT_EQ(palette[i], before[i]) << i;
}

TEST(PngImport, RefusesOtherSizesAndTruecolorWithTheirMessages)
{
    TempDir dir;
    const WorkingPaletteTable palette = NumberedPalette(2);
    const IndexedImage wide = Image(129, 128, {0, 0xFFFFFF}, 1, 1);
    const IndexedImage short_ = Image(128, 127, {0}, 8, 0);
    const std::pair<IndexedImage, std::string> sizes[] = {
        {wide, "The PNG picture is 129 x 128 pixels; the editor takes 128 x 128."},
        {short_, "The PNG picture is 128 x 127 pixels; the editor takes 128 x 128."},
    };
    for (const auto& [image, text] : sizes) {
        const Loaded<BmpFileContent> load = LoadPngPicture(dir.WriteFile("size.png", EncodeIndexedPng(image)), palette);
        ASSERT_TRUE(load.Error);
        EXPECT_EQ(load.Error->Text, text);
        EXPECT_EQ(load.Error->Caption, "PNG image");
        EXPECT_EQ(load.Error->Icon, MsgIcon::Critical);
    }

    PlainPng truecolor;
    truecolor.Width = 128;
    truecolor.Height = 128;
    truecolor.ColorType = 2;
    truecolor.Samples.assign(128 * 128 * 3, 90);
    const Loaded<BmpFileContent> load = LoadPngPicture(dir.WriteFile("rgb.png", WritePlainPng(truecolor)), palette);
    ASSERT_TRUE(load.Error);
    EXPECT_EQ(load.Error->Text.rfind("not an indexed PNG: the image is truecolor", 0), 0u) << load.Error->Text;
}

TEST(PngExport, SaveWritesTheFileAndReportsAFailure)
{
    TempDir dir;
    const IndexedImage image = EditorPicture(EditorSlotTable{}, NumberedPalette(3));
    const std::string path = (dir.Path() / "out.png").string();
    EXPECT_FALSE(SavePngFile(path, image));
    const Loaded<IndexedImage> back = ReadIndexedPng(path);
    ASSERT_FALSE(back.Error);
    EXPECT_EQ(back.Palette, image.Palette);

    const std::string missing = (dir.Path() / "no folder" / "out.png").string();
    const std::optional<UserMessage> failure = SavePngFile(missing, image);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Text.rfind("Could not save the PNG file '" + missing + "': ", 0), 0u) << failure->Text;
    EXPECT_EQ(failure->Text.back(), '.');
    EXPECT_EQ(failure->Caption, "Saving failed");
    EXPECT_EQ(failure->Icon, MsgIcon::Critical);
}
