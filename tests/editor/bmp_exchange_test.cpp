#include "model/editor/bmp_exchange.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The header written out by hand from the table of the format.
const Bytes ExpectedHeader{
    'B',  'M',               // signature
    0x36, 0x44, 0x00, 0x00,  // 17462 bytes
    0x00, 0x00, 0x00, 0x00,  // reserved
    0x36, 0x04, 0x00, 0x00,  // pixels at 1078
    0x28, 0x00, 0x00, 0x00,  // info header of 40 bytes
    0x80, 0x00, 0x00, 0x00,  // width 128
    0x80, 0x00, 0x00, 0x00,  // height 128
    0x01, 0x00, 0x08, 0x00,  // 1 plane, 8 bits per pixel
    0x00, 0x00, 0x00, 0x00,  // no compression
    0x00, 0x40, 0x00, 0x00,  // 16384 bytes of pixels
    0x00, 0x00, 0x00, 0x00,  // resolutions
    0x00, 0x00, 0x00, 0x00,  //
    0x00, 0x01, 0x00, 0x00,  // 256 colors used
    0x00, 0x01, 0x00, 0x00,  // 256 important
};

constexpr std::size_t PixelStart = 1078;

struct EditorCells {
    EditorSlotTable Slots{};
    BmpPalette Palette{};
};

// Random pixels in every cell (cell 9 all 0) and a random palette.
EditorCells RandomEditor(unsigned seed)
{
    std::mt19937 random(seed);
    EditorCells editor;
    for (int i = 0; i < EditorSlotCount; ++i) {
        editor.Slots[i].Address = i * 64;
        for (std::uint8_t& pixel : editor.Slots[i].Pixels)
            pixel = i == 9 ? 0 : static_cast<std::uint8_t>(random());
    }
    for (PackedColor& color : editor.Palette)
        color = random() & 0xFFFFFF;
    return editor;
}

const BmpHeaderBytes Header = BuildBmpHeader();

void ExpectRefused(const BmpLoad& load, const std::string& caption)
{
    ASSERT_TRUE(load.Error.has_value());
    EXPECT_EQ(load.Error->Text, "Only 128x128 pixel 256 colors BMP files can be imported.");
    EXPECT_EQ(load.Error->Caption, caption);
    EXPECT_EQ(load.Error->Icon, MsgIcon::Critical);
}

// ImageMagick itself: a "convert" elsewhere on the path may be a stand-in
// that cannot write BMPs.
const char* const ConvertProgram = "/usr/bin/convert";

// Whether ConvertProgram writes a BMP; tried once.
bool HaveConvert()
{
    static const bool works = [] {
        const TempDir probeDir;
        const std::string probe = (probeDir.Path() / "probe.bmp").string();
        const std::string command =
            std::string(ConvertProgram) + " -size 8x8 xc:white -type Palette 'BMP3:" + probe + "' > /dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return false;
        const Bytes file = ReadWholeFile(probe);
        return file.size() > 54 && file[0] == 'B' && file[1] == 'M';
    }();
    return works;
}

}  // namespace

// --- Export ---

TEST(BmpExport, HeaderIsTheFixed54Bytes)
{
    const BmpHeaderBytes header = BuildBmpHeader();
    EXPECT_EQ(Bytes(header.begin(), header.end()), ExpectedHeader);
}

TEST(BmpExport, FileIs17462BytesBeginningWithBm3644)
{
    const EditorCells editor = RandomEditor(1);
    const Bytes bytes = BuildBmpFile(Header, editor.Slots, editor.Palette);
    ASSERT_EQ(bytes.size(), 17462u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), (Bytes{'B', 'M', 0x36, 0x44, 0x00, 0x00}));
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 54), ExpectedHeader);
}

TEST(BmpExport, ColorTableIsBlueGreenRedZero)
{
    EditorCells editor;
    editor.Palette[0] = MakePackedColor(0x11, 0x22, 0x33);
    editor.Palette[255] = MakePackedColor(0xFF, 0x80, 0x01);
    const Bytes bytes = BuildBmpFile(Header, editor.Slots, editor.Palette);
    EXPECT_EQ(Bytes(bytes.begin() + 54, bytes.begin() + 58), (Bytes{0x33, 0x22, 0x11, 0x00}));
    EXPECT_EQ(Bytes(bytes.begin() + 1074, bytes.begin() + 1078), (Bytes{0x01, 0x80, 0xFF, 0x00}));
    EXPECT_EQ(Bytes(bytes.begin() + 58, bytes.begin() + 62), (Bytes{0, 0, 0, 0}));
}

TEST(BmpExport, CornersOfTheImageMapToTheirCells)
{
    EditorCells editor;  // every cell is written, whatever its address
    editor.Slots[0].Address = EmptySlot;
    editor.Slots[255].Address = UnboundTile;
    editor.Slots[0].Pixels[0] = 1;       // top left
    editor.Slots[15].Pixels[7] = 2;      // top right
    editor.Slots[240].Pixels[56] = 3;    // bottom left
    editor.Slots[255].Pixels[63] = 4;    // bottom right
    editor.Slots[17].Pixels[8 + 2] = 5;  // image pixel (10, 9)
    const Bytes bytes = BuildBmpFile(Header, editor.Slots, editor.Palette);

    // The bottom line comes first.
    EXPECT_EQ(bytes[PixelStart + 127 * 128 + 0], 1);
    EXPECT_EQ(bytes[PixelStart + 127 * 128 + 127], 2);
    EXPECT_EQ(bytes[PixelStart + 0], 3);
    EXPECT_EQ(bytes[PixelStart + 127], 4);
    EXPECT_EQ(bytes[PixelStart + (127 - 9) * 128 + 10], 5);
    int nonZero = 0;
    for (std::size_t i = PixelStart; i < bytes.size(); ++i)
        nonZero += bytes[i] != 0;
    EXPECT_EQ(nonZero, 5);
}

TEST(BmpExport, SaveWritesTheFileAndReportsAFailure)
{
    TempDir dir;
    const EditorCells editor = RandomEditor(2);
    const std::string path = (dir.Path() / "out.bmp").string();
    EXPECT_FALSE(SaveBmpFile(path, Header, editor.Slots, editor.Palette));
    EXPECT_EQ(ReadWholeFile(path), BuildBmpFile(Header, editor.Slots, editor.Palette));

    const std::string unreachable = (dir.Path() / "missing" / "out.bmp").string();
    const auto failure = SaveBmpFile(unreachable, Header, editor.Slots, editor.Palette);
    ASSERT_TRUE(failure.has_value());
    const std::string start = "Could not save the BMP file '" + unreachable + "': ";
    EXPECT_EQ(failure->Text.substr(0, start.size()), start);
    EXPECT_EQ(failure->Caption, "Saving failed");
    EXPECT_EQ(failure->Icon, MsgIcon::Critical);
}

// --- Import ---

TEST(BmpImport, ExportThenImportRestoresPixelsAndPalette)
{
    const EditorCells before = RandomEditor(3);
    const BmpLoad load = ReadBmpFile(Header, BuildBmpFile(Header, before.Slots, before.Palette));
    ASSERT_FALSE(load.Error);

    EditorCells after = RandomEditor(4);
    StoreBmpPicture(load.Picture, after.Slots, after.Palette);
    EXPECT_EQ(after.Palette, before.Palette);
    for (int i = 0; i < EditorSlotCount; ++i) {
        EXPECT_EQ(after.Slots[i].Pixels, before.Slots[i].Pixels) << i;
        EXPECT_EQ(after.Slots[i].Address, i == 9 ? EmptySlot : UnboundTile) << i;
    }
}

TEST(BmpImport, CornersOfTheFileLandInTheirCells)
{
    Bytes bytes = BuildBmpFile(Header, EditorSlotTable{}, BmpPalette{});
    bytes[PixelStart + 127 * 128] = 1;        // top left of the image
    bytes[PixelStart + 127] = 2;              // bottom right
    bytes[PixelStart] = 3;                    // bottom left
    bytes[PixelStart + 127 * 128 + 127] = 4;  // top right
    bytes[54 + 4 * 10 + 3] = 0xFF;            // the fourth byte of a color is ignored
    bytes[54 + 4 * 10] = 0x01;                // blue
    const BmpLoad load = ReadBmpFile(Header, bytes);
    ASSERT_FALSE(load.Error);
    EXPECT_EQ(load.Picture.Cells[0][0], 1);
    EXPECT_EQ(load.Picture.Cells[255][63], 2);
    EXPECT_EQ(load.Picture.Cells[240][56], 3);
    EXPECT_EQ(load.Picture.Cells[15][7], 4);
    EXPECT_EQ(load.Picture.Colors[10], MakePackedColor(0, 0, 0x01));

    EditorSlotTable slots{};
    BmpPalette palette{};
    palette.fill(0x123456);
    StoreBmpPicture(load.Picture, slots, palette);
    EXPECT_EQ(slots[0].Address, UnboundTile);
    EXPECT_EQ(slots[1].Address, EmptySlot);
    EXPECT_EQ(slots[255].Address, UnboundTile);
    EXPECT_EQ(palette[200], 0u);  // every entry is replaced, used or not
}

TEST(BmpImport, WrongSizesAreRefused)
{
    const Bytes good = BuildBmpFile(Header, EditorSlotTable{}, BmpPalette{});
    for (const std::size_t size : {0u, 54u, 8310u, 17461u, 17463u}) {
        Bytes bytes = good;
        bytes.resize(size);
        ExpectRefused(ReadBmpFile(Header, bytes), "Invalid file size");
    }
}

TEST(BmpImport, EachOfTheFirst32HeaderBytesIsCompared)
{
    const Bytes good = BuildBmpFile(Header, EditorSlotTable{}, BmpPalette{});
    for (std::size_t offset = 0; offset < 32; ++offset) {
        Bytes bytes = good;
        bytes[offset] ^= 0x01;
        ExpectRefused(ReadBmpFile(Header, bytes), "Invalid header");
    }
}

TEST(BmpImport, TopDownAndOtherDimensionsAreRefused)
{
    const Bytes good = BuildBmpFile(Header, EditorSlotTable{}, BmpPalette{});
    Bytes topDown = good;
    std::copy_n(Bytes{0x80, 0xFF, 0xFF, 0xFF}.begin(), 4, topDown.begin() + 22);  // height -128
    ExpectRefused(ReadBmpFile(Header, topDown), "Invalid header");

    Bytes wide = good;  // 256 x 64 pixels are also 16384 bytes
    std::copy_n(Bytes{0x00, 0x01, 0x00, 0x00, 0x40, 0x00}.begin(), 6, wide.begin() + 18);
    ExpectRefused(ReadBmpFile(Header, wide), "Invalid header");
}

TEST(BmpImport, BytesFrom32OnAreNotExamined)
{
    Bytes bytes = BuildBmpFile(Header, EditorSlotTable{}, BmpPalette{});
    for (std::size_t offset = 32; offset < 54; ++offset)
        bytes[offset] = 0xA5;
    EXPECT_FALSE(ReadBmpFile(Header, bytes).Error);
}

TEST(BmpImport, LoadFromDiskAndItsMessages)
{
    TempDir dir;
    const EditorCells editor = RandomEditor(5);
    const BmpLoad load =
        LoadBmpFile(Header, dir.WriteFile("in.bmp", BuildBmpFile(Header, editor.Slots, editor.Palette)));
    ASSERT_FALSE(load.Error);
    EXPECT_EQ(load.Picture.Colors, editor.Palette);
    EXPECT_EQ(load.Picture.Cells[100], editor.Slots[100].Pixels);

    const BmpLoad missing = LoadBmpFile(Header, (dir.Path() / "none.bmp").string());
    ASSERT_TRUE(missing.Error.has_value());
    EXPECT_EQ(missing.Error->Text, "Could not find the selected file.");
    EXPECT_EQ(missing.Error->Caption, "Loading process aborted");

    const BmpLoad folder = LoadBmpFile(Header, dir.Path().string());
    ASSERT_TRUE(folder.Error.has_value());
    EXPECT_EQ(folder.Error->Text, "Could not read the selected file.");
    EXPECT_EQ(folder.Error->Icon, MsgIcon::Critical);

    ExpectRefused(LoadBmpFile(Header, dir.WriteFile("big.bmp", Bytes(1 << 20, 0))), "Invalid file size");
}

// --- Files made by ImageMagick ---

class BmpFromConvert : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveConvert())
            GTEST_SKIP() << "ImageMagick's convert is not installed";
    }

    // Runs convert with the given arguments, writing a BMP with the
    // 40-byte info header under name.
    std::string Convert(const std::string& arguments, const std::string& name)
    {
        const std::string path = (dir.Path() / name).string();
        const std::string command =
            std::string(ConvertProgram) + " " + arguments + " 'BMP3:" + path + "' > /dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path;
    }

    TempDir dir;
};

TEST_F(BmpFromConvert, A256ColorPictureWithAFullColorTableImports)
{
    // Its resolution fields differ from the own header.
    const std::string bmp = Convert("-seed 7 -size 128x128 plasma:fractal -colors 256 -type Palette -compress none "
                                    "-units PixelsPerInch -density 72",
                                    "plasma.bmp");
    const Bytes file = ReadWholeFile(bmp);
    ASSERT_EQ(file.size(), 17462u);
    ASSERT_NE(Bytes(file.begin() + 32, file.begin() + 54), Bytes(ExpectedHeader.begin() + 32, ExpectedHeader.end()));

    const BmpLoad load = LoadBmpFile(Header, bmp);
    ASSERT_FALSE(load.Error) << load.Error->Caption;

    // ImageMagick's own reading of the picture, top line first.
    const std::string rgbPath = (dir.Path() / "plasma.rgb").string();
    ASSERT_EQ(std::system((std::string(ConvertProgram) + " '" + bmp + "' -depth 8 'rgb:" + rgbPath + "'").c_str()), 0);
    const Bytes rgb = ReadWholeFile(rgbPath);
    ASSERT_EQ(rgb.size(), 128u * 128u * 3u);
    int mismatches = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const CellPixel at = CellPixelAt(x, y);
            const PackedColor color = load.Picture.Colors[load.Picture.Cells[at.Cell][at.Entry]];
            const std::size_t i = (static_cast<std::size_t>(y) * 128 + x) * 3;
            mismatches += color != MakePackedColor(rgb[i], rgb[i + 1], rgb[i + 2]);
        }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(BmpFromConvert, SixteenColorsAndOtherDimensionsAreRefused)
{
    const std::string sixteen =
        Convert("-size 128x128 gradient: -colors 16 -type Palette -compress none", "sixteen.bmp");
    ASSERT_EQ(ReadWholeFile(sixteen).size(), 8310u);
    ExpectRefused(LoadBmpFile(Header, sixteen), "Invalid file size");

    const std::string tall = Convert("-size 64x256 gradient: -colors 256 -type Palette -compress none", "tall.bmp");
    ASSERT_EQ(ReadWholeFile(tall).size(), 17462u);
    ExpectRefused(LoadBmpFile(Header, tall), "Invalid header");
}
