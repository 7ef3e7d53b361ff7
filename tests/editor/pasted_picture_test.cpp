#include "model/core/indexed_png.h"
#include "model/editor/pasted_picture.h"
#include "support/plain_png.h"

#include <gtest/gtest.h>

namespace {

WorkingPaletteTable GrayPalette()
{
    WorkingPaletteTable palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = MakePackedColor(i, i, i);
    return palette;
}

PastedPicture Picture(int width, int height, std::uint8_t base)
{
    PastedPicture picture{width, height, {}, std::nullopt};
    for (int i = 0; i < width * height; ++i)
        picture.Indices.push_back(static_cast<std::uint8_t>(base + i));
    return picture;
}

}  // namespace

TEST(PastedPicture, FitsFromTheCellAndCoversPartsOfCellsKeepingTheirOtherPixels)
{
    struct Case {
        int Slot, Width, Height, FitWidth, FitHeight;
    };
    for (const Case c : std::initializer_list<Case>{
             {0, 300, 5, 128, 5}, {SlotAt(15, 15), 16, 16, 8, 8}, {SlotAt(3, 14), 9, 20, 9, 16}, {17, 0, 4, 0, 4}})
        EXPECT_EQ(PasteSizeAt(c.Slot, c.Width, c.Height), (std::array{c.FitWidth, c.FitHeight})) << c.Slot;

    EditorSlotTable slots{};
    for (EditorSlot& cell : slots)
        cell.Pixels.fill(99);
    slots[SlotAt(15, 0)].Address = 64;
    slots[SlotAt(2, 5)].Address = 64;  // a twin: follows the pasted cell
    slots[SlotAt(15, 1)].Address = 128;
    // 8 x 9 at the last column: over two cells.
    PastedPicture picture = Picture(8, 9, 1);
    EXPECT_EQ(PasteIntoCells(slots, SlotAt(15, 0), picture), (std::vector{SlotAt(15, 0), SlotAt(15, 1), SlotAt(2, 5)}));
    EXPECT_EQ(slots[SlotAt(15, 0)].Pixels[0], 1);
    EXPECT_EQ(slots[SlotAt(15, 0)].Pixels[63], 64);
    EXPECT_EQ(slots[SlotAt(2, 5)].Pixels, slots[SlotAt(15, 0)].Pixels);
    EXPECT_EQ(slots[SlotAt(15, 1)].Pixels[7], 72);  // the picture's last row
    EXPECT_EQ(slots[SlotAt(15, 1)].Pixels[8], 99);  // below it: kept
    EXPECT_EQ(slots[SlotAt(15, 1)].Address, 128);
    EXPECT_TRUE(slots[SlotAt(2, 5)].Edited && slots[SlotAt(15, 1)].Edited);
    EXPECT_FALSE(slots[SlotAt(14, 0)].Edited);

    EditorSlotTable empty{};
    EXPECT_EQ(PasteIntoCells(empty, 0, Picture(3, 2, 7)), std::vector{0});
    EXPECT_EQ(empty[0].Address, UnboundTile);
    EXPECT_EQ(empty[0].Pixels[8], 10);
}

TEST(PastedPicture, OwnPalettePngKeepsIndicesAndAnyOtherPictureMapsThroughItsColors)
{
    WorkingPaletteTable palette = GrayPalette();
    palette[3] = palette[1];  // a twin color: only kept indices tell them apart
    IndexedImage own{4, 1, {0, 1, 2, 3}, {palette.begin(), palette.end()}, 8, {}};
    struct Case {
        const char* Name;
        IndexedImage Png;
        int BitsPerPixel;
        std::vector<std::uint8_t> Indices;
        bool Kept;
    };
    IndexedImage wide = own;
    wide.Indices = {0, 1, 2, 16};  // 16 is no 4bpp value: mapped by color
    IndexedImage recolored = own;
    recolored.Palette[2] = MakePackedColor(250, 250, 250);
    for (const Case& c : std::initializer_list<Case>{{"own", own, 2, {0, 1, 2, 3}, true},
                                                     {"beyond the mode", wide, 4, {0, 1, 2, 15}, false},
                                                     {"other colors", recolored, 8, {0, 1, 250, 1}, false}}) {
        const Loaded<PastedPicture> pasted = PasteFromPng(EncodeIndexedPng(c.Png), palette, c.BitsPerPixel, 0);
        ASSERT_FALSE(pasted.Error) << c.Name;
        EXPECT_EQ(pasted.Indices, c.Indices) << c.Name;
        EXPECT_EQ(!pasted.Match, c.Kept) << c.Name;
    }

    // Truecolor through an independent writer: one exact pixel, one 3.0 from
    // gray 12, one transparent.
    PlainPng rgba{3, 1, 8, 6, {5, 5, 5, 255, 13, 14, 10, 255, 200, 0, 0, 0}, {}};
    const Loaded<PastedPicture> mapped = PasteFromPng(WritePlainPng(rgba), palette, 4, 0);
    ASSERT_FALSE(mapped.Error);
    EXPECT_EQ(mapped.Indices, (std::vector<std::uint8_t>{5, 12, 0}));
    EXPECT_EQ(PasteReport(mapped, 1),
              "Pasted 3 x 1 pixels into 1 cell: 1 pixel was not an exact match; the largest color error was 3.0");

    std::vector<std::uint8_t> cut = WritePlainPng(rgba);
    cut.resize(cut.size() - 20);
    EXPECT_TRUE(PasteFromPng(cut, palette, 4, 0).Error);
}
