#include "model/palette/gimp_palette_format.h"
#include "model/palette/hex_palette_format.h"
#include "model/palette/paint_net_palette_format.h"
#include "model/palette/palette_files.h"
#include "support/expect_message.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

PaletteLoad Read(const PaletteFileFormat& format, const std::string& text)
{
    return format.ReadBytes(Bytes(text.begin(), text.end()));
}

Palette256 ColorsOf(std::initializer_list<PackedColor> first)
{
    Palette256 colors{};
    std::copy(first.begin(), first.end(), colors.begin());
    return colors;
}

std::vector<std::string> LinesOf(const Bytes& bytes, const std::string& end)
{
    const std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    for (std::size_t at = 0, next; at < text.size(); at = next + end.size()) {
        next = text.find(end, at);
        EXPECT_NE(next, std::string::npos) << "last line without its end";
        if (next == std::string::npos)
            break;
        lines.push_back(text.substr(at, next - at));
    }
    return lines;
}

Palette256 RandomColors()
{
    std::mt19937 random(23);
    Palette256 colors{};
    for (PackedColor& color : colors)
        color = random() & 0xFFFFFF;
    return colors;
}

}  // namespace

TEST(TextPalettes, ReadFilesWrittenFromTheFormatDescriptions)
{
    const PackedColor a = MakePackedColor(1, 2, 3), b = MakePackedColor(255, 128, 0), c = MakePackedColor(0, 0, 255);
    const struct {
        const PaletteFileFormat& Format;
        std::string Text;
        Palette256 Colors;
    } cases[] = {
        {GimpPaletteFile,
         "GIMP Palette\nName: Sea\nColumns: 4\n# c\n\n1 2 3\tdark\n255\t128  0 Orange bright\n",
         {a, b}},
        {GimpPaletteFile, "GIMP Palette\r\nName:\r\n  1   2   3\r\n#\r\n0 0 255\r\n", {a, c}},
        {GimpPaletteFile, "GIMP Palette\n1 2 3 Name: not a header\n", {a}},
        {GimpPaletteFile, "GIMP Palette\nColumns: 0\n0 0 255", {c}},
        {PaintNetPaletteFile,
         "; paint.net Palette File\r\n;x\r\nFF010203\r\n\r\n00ff8000\r\n 800000FF \r\n",
         {a, b, c}},
        {HexPaletteFile, "010203\n\nFF8000\n0000ff", {a, b, c}},
    };
    for (const auto& [format, text, colors] : cases) {
        const PaletteLoad load = Read(format, text);
        ASSERT_FALSE(load.Error) << text << load.Error->Text;
        ASSERT_EQ(load.Sets.size(), 1u);
        EXPECT_EQ(load.Sets[0].Colors, colors) << text;
    }
    EXPECT_EQ(Read(GimpPaletteFile, "GIMP Palette\n0 0 0").Sets.at(0).Description, "GIMP palette");
    EXPECT_EQ(Read(PaintNetPaletteFile, "FF000000").Sets.at(0).Description, "Paint.NET palette");
    EXPECT_EQ(Read(HexPaletteFile, "000000").Sets.at(0).Description, "Hex palette");
}

TEST(TextPalettes, RefuseBadLinesNamingThem)
{
    std::string gimp257 = "GIMP Palette\n", hex257;
    for (int i = 0; i < 257; ++i) {
        gimp257 += "1 2 3\n";
        hex257 += "010203\n";
    }
    const std::string gimp = "Not a GIMP palette file.\r", gimpColor = " must hold red, green and blue from 0 to 255, "
                                                                       "then a name or nothing.";
    const std::string paintNet = "Not a Paint.NET palette file.\r", hex = "Not a hex color list.\r";
    const struct {
        const PaletteFileFormat& Format;
        std::string Text;
        std::string Message;
    } cases[] = {
        {GimpPaletteFile, "GIMP palette\n1 2 3\n", gimp + "The first line must be \"GIMP Palette\"."},
        {GimpPaletteFile, "GIMP Palette\nName: x\nColumns: 256\n",
         gimp + "Line 3 must give the number of columns from 0 to 255."},
        {GimpPaletteFile, "GIMP Palette\nColumns: 1x\n",
         gimp + "Line 2 must give the number of columns from 0 to 255."},
        {GimpPaletteFile, "GIMP Palette\n# c\n1 2 3\n1 2 256\n", gimp + "Line 4" + gimpColor},
        {GimpPaletteFile, "GIMP Palette\n1 2\n", gimp + "Line 2" + gimpColor},
        {GimpPaletteFile, "GIMP Palette\n1 2 3x\n", gimp + "Line 2" + gimpColor},
        {GimpPaletteFile, "GIMP Palette\nName: x\n1 2 3\nColumns: 2\n", gimp + "Line 4" + gimpColor},
        {GimpPaletteFile, "GIMP Palette\nName: x\nColumns: 16\n#\n", gimp + "It holds no colors."},
        {GimpPaletteFile, gimp257, gimp + "Line 258 holds a 257th color; a set holds 256."},
        {PaintNetPaletteFile, ";\nFF0102030\n", paintNet + "Line 2 must hold a color as 8 hex digits, AARRGGBB."},
        {PaintNetPaletteFile, "FF010203\n010203\n", paintNet + "Line 2 must hold a color as 8 hex digits, AARRGGBB."},
        {PaintNetPaletteFile, "FF01020G\n", paintNet + "Line 1 must hold a color as 8 hex digits, AARRGGBB."},
        {PaintNetPaletteFile, "; only comments\n\n", paintNet + "It holds no colors."},
        {HexPaletteFile, "010203\n#010203\n", hex + "Line 2 must hold a color as 6 hex digits, RRGGBB."},
        {HexPaletteFile, "01 02 03\n", hex + "Line 1 must hold a color as 6 hex digits, RRGGBB."},
        {HexPaletteFile, "\r\n \n", hex + "It holds no colors."},
        {HexPaletteFile, hex257, hex + "Line 257 holds a 257th color; a set holds 256."},
    };
    for (const auto& [format, text, message] : cases) {
        const PaletteLoad load = Read(format, text);
        ExpectMessage(load.Error, message, "Brixel", MsgIcon::None);
        EXPECT_TRUE(load.Sets.empty()) << text;
    }
}

// What Brixel writes, read back by hand the way each format describes it.
TEST(TextPalettes, WrittenFilesFollowTheFormatsWhenReadByHand)
{
    const Palette256 colors = RandomColors();
    const auto gimp = LinesOf(BuildGimpPalette(colors, "\tMy \x01set \xE9 "), "\n");
    ASSERT_EQ(gimp.size(), 4u + 256u);
    EXPECT_EQ(gimp[0], "GIMP Palette");
    EXPECT_EQ(gimp[1], "Name: My set");
    EXPECT_EQ(gimp[2], "Columns: 16");
    EXPECT_EQ(gimp[3], "#");
    EXPECT_EQ(LinesOf(BuildGimpPalette(colors, " \x7F "), "\n")[1], "Name: Brixel");
    const auto paintNet = LinesOf(BuildPaintNetPalette(colors), "\r\n");
    ASSERT_EQ(paintNet.size(), 2u + 96u);
    const auto hex = LinesOf(BuildHexPalette(colors), "\n");
    ASSERT_EQ(hex.size(), 256u);
    for (std::size_t i = 0; i < 256; ++i) {
        const int red = RedOf(colors[i]), green = GreenOf(colors[i]), blue = BlueOf(colors[i]);
        std::istringstream line(gimp[4 + i]);
        int r = -1, g = -1, b = -1;
        std::string index, number;
        line >> r >> g >> b >> index >> number;
        EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({red, green, blue})) << gimp[4 + i];
        EXPECT_EQ(gimp[4 + i].substr(0, 11).find('\t'), std::string::npos) << "channels three wide";
        EXPECT_EQ(gimp[4 + i].substr(11, 7), "\tIndex ") << gimp[4 + i];
        EXPECT_EQ(index + " " + number, "Index " + std::to_string(i));
        EXPECT_EQ(std::stoul(hex[i], nullptr, 16), static_cast<unsigned long>(red << 16 | green << 8 | blue)) << hex[i];
        EXPECT_EQ(hex[i].find_first_not_of("0123456789abcdef"), std::string::npos);
        if (i < 96) {
            EXPECT_EQ(std::stoul(paintNet[2 + i], nullptr, 16), 0xFF000000ul | red << 16 | green << 8 | blue);
            EXPECT_EQ(paintNet[2 + i].find_first_not_of("0123456789ABCDEF"), std::string::npos);
        }
    }
    EXPECT_EQ(paintNet[0].front(), ';');
    EXPECT_EQ(paintNet[1].front(), ';');
}

TEST(TextPalettes, SavedSetsLoadBack)
{
    auto list = std::make_unique<ColorSetList>();
    list->ColorSets[1] = {RandomColors(), "Second"};
    list->SetCount = 2;
    list->SelectedSet = 1;
    TempDir dir;
    const std::pair<const PaletteFileFormat*, std::size_t> cases[] = {
        {&GimpPaletteFile, 256}, {&PaintNetPaletteFile, 96}, {&HexPaletteFile, 256}};
    for (const auto& [format, written] : cases) {
        const std::string path = (dir.Path() / format->Name).string();
        ASSERT_FALSE(SavePaletteFile(path, *format, *list));
        const PaletteLoad load = LoadPaletteFile(path, *format, NesColorTable{});
        ASSERT_FALSE(load.Error) << format->Name;
        Palette256 expected{};
        std::copy_n(list->ColorSets[1].Colors.begin(), written, expected.begin());
        EXPECT_EQ(load.Sets.at(0).Colors, expected) << format->Name;
    }
    EXPECT_EQ(LinesOf(ReadWholeFile((dir.Path() / "gpl").string()), "\n").at(1), "Name: Second");
}
