#include "model/editor/png_exchange.h"

#include "model/core/rom_file.h"
#include "model/core/tile_io.h"
#include "support/plain_png.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>

namespace {

WorkingPaletteTable NumberedPalette()
{
    WorkingPaletteTable palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = MakePackedColor(i, (i * 7) & 255, 255 - i);
    return palette;
}

int At(const IndexedImage& image, int x, int y)
{
    return image.Indices.at(static_cast<std::size_t>(y * image.Width + x));
}

}  // namespace

TEST(PngPicture, EditorCellsAndBrowserTilesLieWhereShownWithTheWholePalette)
{
    const WorkingPaletteTable palette = NumberedPalette();
    const std::vector<PackedColor> colors(palette.begin(), palette.end());
    EditorSlotTable slots{};
    slots[17].Pixels[5 * 8 + 3] = 200;  // cell (1, 1), pixel (3, 5)
    slots[14].Pixels[2 * 8 + 7] = 31;   // cell (14, 0), pixel (7, 2)
    slots[255].Pixels[63] = 255;
    const IndexedImage editor = EditorPicture(slots, palette);
    ASSERT_EQ(editor.Indices.size(), 128u * 128u);
    EXPECT_EQ(editor.Width, 128);
    EXPECT_EQ(editor.BitDepth, 8);
    EXPECT_EQ(At(editor, 11, 13), 200);
    EXPECT_EQ(At(editor, 119, 2), 31);
    EXPECT_EQ(At(editor, 127, 127), 255);
    EXPECT_EQ(At(editor, 10, 13), 0);
    EXPECT_EQ(editor.Palette, colors);

    // GBA 4bpp from fine offset 3: 32 bytes a tile, 4 a row, the left pixel
    // in the low nibble; 3 x 2 tiles.
    TempDir dir;
    std::vector<std::uint8_t> rom(400);
    for (std::size_t i = 0; i < rom.size(); ++i)
        rom[i] = static_cast<std::uint8_t>(i * 37 + 11);
    RomFile file;
    ASSERT_TRUE(file.Open(dir.WriteFile("tiles.gba", rom)).Opened());
    std::array<std::uint8_t, 6 * 64> decoded{};
    ReadTiles(file, ModeGba4bpp, 3, 6, decoded.data());
    const IndexedImage grid = BrowserGridPicture(decoded.data(), 3, 2, palette);
    ASSERT_EQ(grid.Width, 24);
    ASSERT_EQ(grid.Height, 16);
    EXPECT_EQ(grid.Palette, colors);
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {8, 0}, {17, 3}, {23, 7}, {0, 8}, {13, 12}, {23, 15}}) {
        const std::uint8_t byte = rom[3 + ((y / 8) * 3 + x / 8) * 32 + (y % 8) * 4 + (x % 8) / 2];
        EXPECT_EQ(At(grid, x, y), x % 2 == 0 ? byte & 15 : byte >> 4) << x << ", " << y;
    }
}

TEST(PngImport, TakesPixelsAndThePngsColorsAndRefusesOtherSizes)
{
    // 2 bits a pixel, four colors; cell 0 blank, every other cell not.
    IndexedImage png;
    png.Width = png.Height = 128;
    png.BitDepth = 2;
    png.Palette = {MakePackedColor(1, 2, 3), MakePackedColor(10, 20, 30), MakePackedColor(200, 0, 0), 0xFF0000};
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            png.Indices.push_back(x < 8 && y < 8 ? 0 : static_cast<std::uint8_t>((x + 2 * y) % 4));
    TempDir dir;
    EditorSlotTable slots{};
    slots[1].Address = 64;
    WorkingPaletteTable palette = NumberedPalette();
    const auto load = LoadPngPicture(dir.WriteFile("in.png", EncodeIndexedPng(png)), palette);
    ASSERT_FALSE(load.Error) << load.Error->Text;
    EXPECT_FALSE(load.Match);
    StoreBmpPicture(load.Picture, slots, palette);
    EXPECT_EQ(slots[0].Address, EmptySlot);
    EXPECT_FALSE(slots[0].Edited);
    EXPECT_EQ(slots[1].Address, UnboundTile);
    EXPECT_TRUE(slots[1].Edited);
    EXPECT_EQ(slots[1].Pixels[3 * 8 + 2], (10 + 6) % 4);  // image (10, 3)
    EXPECT_EQ(slots[16].Pixels[0], 16 % 4);               // image (0, 8)
    EXPECT_EQ(slots[255].Pixels[63], (127 + 254) % 4);
    EXPECT_TRUE(std::equal(png.Palette.begin(), png.Palette.end(), palette.begin()));
    EXPECT_EQ(palette[4], NumberedPalette()[4]);
    EXPECT_EQ(palette[255], NumberedPalette()[255]);

    auto refusal = [&](const std::vector<std::uint8_t>& bytes) {
        const auto refused = LoadPngPicture(dir.WriteFile("bad.png", bytes), palette);
        EXPECT_EQ(refused.Error.value_or(UserMessage{}).Caption, "PNG image");
        return refused.Error.value_or(UserMessage{}).Text;
    };
    for (const auto& [width, height] : {std::pair{129, 128}, {128, 127}}) {
        png.Width = width;
        png.Height = height;
        png.Indices.assign(static_cast<std::size_t>(width * height), 1);
        EXPECT_EQ(refusal(EncodeIndexedPng(png)), "The PNG picture is " + std::to_string(width) + " x " +
                                                      std::to_string(height) + " pixels; the editor takes 128 x 128.");
    }
    PlainPng truecolor;
    truecolor.Width = 128;
    truecolor.Height = 120;
    truecolor.ColorType = 2;
    truecolor.Samples.assign(128 * 120 * 3, 90);
    EXPECT_EQ(refusal(WritePlainPng(truecolor)), "The PNG picture is 128 x 120 pixels; the editor takes 128 x 128.");
}

TEST(PngImport, TruecolorMapsOntoTheModesColorsOrBringsItsOwn)
{
    // Pixel (x, y) is palette color (x + y) % 4 of the numbered palette, but
    // (0, 0) is a little off, (1, 0) transparent and (2, 0) a fifth color.
    const WorkingPaletteTable palette = NumberedPalette();
    PlainPng png{128, 128, 8, 6, {}, {}};
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const PackedColor color = palette[static_cast<std::size_t>((x + y) % 4)];
            png.Samples.insert(png.Samples.end(),
                               {static_cast<std::uint8_t>(RedOf(color)), static_cast<std::uint8_t>(GreenOf(color)),
                                static_cast<std::uint8_t>(BlueOf(color)), 255});
        }
    TempDir dir;
    png.Samples[0] += 3;                                        // (3, 0, 255)
    png.Samples[7] = 0;                                         // (1, 0) transparent
    std::fill_n(png.Samples.begin() + 8, 3, std::uint8_t{99});  // (2, 0) gray 99
    const std::string off = dir.WriteFile("off.png", WritePlainPng(png));

    // Mapped onto the four colors: (0, 0) to 0, gray 99 to its nearest, 3.
    const auto near = LoadPngPicture(off, palette, 2, "Gameboy");
    ASSERT_FALSE(near.Error) << near.Error->Text;
    EXPECT_EQ(near.Picture.Colors, palette);
    EXPECT_EQ(near.Match->InexactPixels, 2);
    EXPECT_EQ((std::vector<int>{near.Picture.Cells[0][0], near.Picture.Cells[0][1], near.Picture.Cells[0][2]}),
              (std::vector<int>{0, 0, 3}));
    // Six colors and transparency are too many for four.
    EXPECT_FALSE(near.Built);
    EXPECT_EQ(near.NotBuilt, "the picture has 7 colors; mode Gameboy takes at most 4");

    // With 16 colors the picture brings its own: transparency at 0, then
    // the colors as they first appear, the rest of the palette kept.
    const auto own = LoadPngPicture(off, palette, 4, "SNES 4bpp");
    ASSERT_TRUE(own.Built);
    EXPECT_EQ(own.Built->Colors[1], MakePackedColor(3, 0, 255));
    EXPECT_EQ(own.Built->Colors[2], MakePackedColor(99, 99, 99));
    EXPECT_EQ(own.Built->Colors[3], palette[3]);  // (3, 0) was color 3, now index 3
    EXPECT_EQ(own.Built->Colors[0], palette[0]);
    EXPECT_EQ(own.Built->Colors[7], palette[7]);
    EXPECT_EQ((std::vector<int>{own.Built->Cells[0][0], own.Built->Cells[0][1], own.Built->Cells[0][2],
                                own.Built->Cells[0][3], own.Built->Cells[1][0]}),
              (std::vector<int>{1, 0, 2, 3, 4}));
}
