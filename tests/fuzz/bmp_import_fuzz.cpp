// BMP import: only 128 x 128 pixels, 8 bits per pixel, uncompressed, 17462
// bytes. The reader and the file loader agree; a file is accepted exactly
// when its size is 17462 and its first 32 bytes are those of the header the
// program writes; the colors are the table's blue, green, red bytes and the
// pixels land in the cells the picture's layout names (bottom line first).
// Storing the picture and exporting the editor gives the file back, but for
// header bytes 32-53 and the fourth byte of each color, and the exported
// file imports the same.

#include "model/editor/bmp_exchange.h"
#include "fuzz_support.h"

#include <algorithm>

namespace {

constexpr std::size_t FileSize = 17462;
constexpr std::size_t ColorsAt = 54;
constexpr std::size_t PixelsAt = 1078;
constexpr std::size_t ComparedHeader = 32;
constexpr std::uint8_t Header[ComparedHeader] = {'B', 'M', 0x36, 0x44, 0, 0, 0,   0, 0, 0, 0x36, 0x04, 0, 0, 40, 0,
                                                 0,   0,   128,  0,    0, 0, 128, 0, 0, 0, 1,    0,    8, 0, 0,  0};

bool SameLoad(const BmpLoad& a, const BmpLoad& b)
{
    if (a.Error.has_value() != b.Error.has_value())
        return false;
    if (a.Error)
        return a.Error->Text == b.Error->Text && a.Error->Caption == b.Error->Caption;
    return a.Picture.Colors == b.Picture.Colors && a.Picture.Cells == b.Picture.Cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const BmpHeaderBytes header = BuildBmpHeader();
    const Bytes bytes(data, data + size);
    const BmpLoad load = ReadBmpFile(header, bytes);
    CHECK(SameLoad(load, LoadBmpFile(header, WriteTempFile("input.bmp", bytes))));

    const bool valid = size == FileSize && std::equal(Header, Header + ComparedHeader, data);
    CHECK(load.Error.has_value() != valid);
    if (!valid)
        return 0;

    for (std::size_t i = 0; i < 256; ++i) {
        const std::uint8_t* entry = data + ColorsAt + 4 * i;
        CHECK(load.Picture.Colors[i] == Rgb(entry[2], entry[1], entry[0]));
    }
    for (std::size_t line = 0; line < 128; ++line)
        for (std::size_t x = 0; x < 128; ++x) {
            const std::size_t y = 127 - line;
            const std::size_t cell = (y / 8) * 16 + x / 8;
            const std::size_t entry = (y % 8) * 8 + x % 8;
            CHECK(load.Picture.Cells[cell][entry] == data[PixelsAt + line * 128 + x]);
        }

    static EditorSlotTable slots;
    BmpPalette palette{};
    StoreBmpPicture(load.Picture, slots, palette);
    CHECK(palette == load.Picture.Colors);
    for (std::size_t cell = 0; cell < slots.size(); ++cell) {
        const TilePixels& pixels = slots[cell].Pixels;
        const bool blank = std::all_of(pixels.begin(), pixels.end(), [](std::uint8_t p) { return p == 0; });
        CHECK(pixels == load.Picture.Cells[cell] && slots[cell].Address == (blank ? EmptySlot : UnboundTile));
    }

    Bytes expected = bytes;
    std::copy(header.begin() + ComparedHeader, header.end(), expected.begin() + ComparedHeader);
    for (std::size_t i = 0; i < 256; ++i)
        expected[ColorsAt + 4 * i + 3] = 0;
    CHECK(BuildBmpFile(header, slots, palette) == expected);
    const std::string saved = TempPath("saved.bmp");
    CHECK(!SaveBmpFile(saved, header, slots, palette));
    CHECK(FileContents(saved) == expected);
    CHECK(SameLoad(LoadBmpFile(header, saved), load));
    return 0;
}
