#include "model/palette/jasc_palette_format.h"
#include "model/palette/palette_files.h"
#include "support/expect_message.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

PaletteLoad Read(const std::string& text)
{
    return ReadJascPalette(Text(text));
}

void ExpectRefused(const std::string& text, const std::string& secondLine)
{
    SCOPED_TRACE(text);
    const PaletteLoad load = Read(text);
    ExpectMessage(load.Error, "Not a JASC palette file.\r" + secondLine, "Brixel", MsgIcon::None);
    EXPECT_TRUE(load.Sets.empty());
}

// Only the first colors set, the rest black.
Palette256 ColorsOf(std::initializer_list<PackedColor> first)
{
    Palette256 colors{};
    std::copy(first.begin(), first.end(), colors.begin());
    return colors;
}

const std::string Header = "JASC-PAL\r\n0100\r\n";

}  // namespace

TEST(JascPalette, ReadsAFileWrittenFromTheFormatDescription)
{
    const PaletteLoad load = Read("JASC-PAL\r\n0100\r\n4\r\n0 0 0\r\n255 255 255\r\n255 0 0\r\n12 34 56\r\n");
    EXPECT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "JASC palette");
    EXPECT_EQ(load.Sets[0].Colors, ColorsOf({MakePackedColor(0, 0, 0), MakePackedColor(255, 255, 255),
                                             MakePackedColor(255, 0, 0), MakePackedColor(12, 34, 56)}));
}

TEST(JascPalette, WritesAllColorsOfTheSetWithCrLf)
{
    Palette256 colors{};
    colors[0] = MakePackedColor(255, 128, 7);
    colors[1] = MakePackedColor(0, 10, 100);
    colors[255] = MakePackedColor(1, 2, 3);
    std::string expected = "JASC-PAL\r\n0100\r\n256\r\n255 128 7\r\n0 10 100\r\n";
    for (int i = 2; i < 255; ++i)
        expected += "0 0 0\r\n";
    expected += "1 2 3\r\n";
    EXPECT_EQ(BuildJascPalette(colors), Text(expected));
}

TEST(JascPalette, GimpExportIsReadAndWrittenTheSame)
{
    // GIMP exports a palette as "JASC-PAL", "0100", "256" and "R G B" lines,
    // each ended by CR LF. A gray ramp, written here by hand.
    std::string gimp = "JASC-PAL\r\n0100\r\n256\r\n";
    Palette256 grays{};
    for (int i = 0; i < 256; ++i) {
        gimp += std::to_string(i) + " " + std::to_string(i) + " " + std::to_string(i) + "\r\n";
        grays[static_cast<std::size_t>(i)] = MakePackedColor(i, i, i);
    }
    const PaletteLoad load = Read(gimp);
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Colors, grays);
    EXPECT_EQ(BuildJascPalette(grays), Text(gimp));
}

TEST(JascPalette, RoundTripKeepsEveryColor)
{
    std::mt19937 random(7);
    Palette256 colors{};
    for (PackedColor& color : colors)
        color = random() & 0xFFFFFF;
    const PaletteLoad load = ReadJascPalette(BuildJascPalette(colors));
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Colors, colors);
}

TEST(JascPalette, LineEndsAndBlanksThatAreAccepted)
{
    const Palette256 two = ColorsOf({MakePackedColor(1, 2, 3), MakePackedColor(250, 251, 252)});
    for (const std::string& text : {
             std::string("JASC-PAL\n0100\n2\n1 2 3\n250 251 252\n"),                           // LF only
             std::string("JASC-PAL \r\n0100\t\r\n2  \r\n1 2 3 \r\n250 251 252\t \r\n"),        // trailing blanks
             std::string("JASC-PAL\r\n0100\r\n2\r\n1 2 3\r\n250 251 252"),                     // no last line end
             std::string("JASC-PAL\r\n0100\r\n2\r\n 1  2\t3\r\n250 251 252\r\n\r\nmore\r\n"),  // extra blanks, lines
             std::string("JASC-PAL\r\n0100\r\n002\r\n001 002 003\r\n250 251 252\r\n"),         // leading zeros
         }) {
        const PaletteLoad load = Read(text);
        EXPECT_FALSE(load.Error.has_value()) << text;
        ASSERT_EQ(load.Sets.size(), 1u) << text;
        EXPECT_EQ(load.Sets[0].Colors, two) << text;
    }
}

TEST(JascPalette, CountBoundaries)
{
    std::string full = Header + "256\r\n";
    for (int i = 0; i < 256; ++i)
        full += "9 9 9\r\n";
    const PaletteLoad load = Read(full);
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Colors[255], MakePackedColor(9, 9, 9));

    const PaletteLoad one = Read(Header + "1\r\n255 255 255\r\n");
    ASSERT_EQ(one.Sets.size(), 1u);
    EXPECT_EQ(one.Sets[0].Colors, ColorsOf({MakePackedColor(255, 255, 255)}));

    const std::string countMessage = "The number of colors must be 1 to 256.";
    for (const char* count : {"257", "0", "-1", "+16", "16x", "x", "", "99999999999999999999", "1 6"})
        ExpectRefused(Header + count + "\r\n" + "1 2 3\r\n", countMessage);
    ExpectRefused(Header, countMessage);
}

TEST(JascPalette, HeaderMustBeExact)
{
    const std::string rest = "1\r\n1 2 3\r\n";
    for (const std::string& header :
         {std::string(""), std::string("jasc-pal\r\n0100\r\n"), std::string("JASC-PAL\r\n0110\r\n"),
          std::string("0100\r\nJASC-PAL\r\n"), std::string("\r\nJASC-PAL\r\n0100\r\n"),
          std::string("JASC-PAL 0100\r\n"), std::string("JASC-PAL\r0100\r")})
        ExpectRefused(header + rest, "Wrong header.");
}

TEST(JascPalette, MissingAndMalformedColorLines)
{
    ExpectRefused(Header + "3\r\n1 2 3\r\n4 5 6\r\n", "It ends after 2 of its 3 colors.");
    ExpectRefused(Header + "16\r\n", "It ends after 0 of its 16 colors.");
    // The line number counts the header lines: the second color is line 5.
    for (const char* line : {"256 0 0", "0 256 0", "0 0 256", "1 2", "1 2 3 4", "-1 2 3", "+1 2 3", "1,2,3", "a b c",
                             "", "1 2 3x", "0x10 2 3"})
        ExpectRefused(Header + "3\r\n1 2 3\r\n" + line + "\r\n7 8 9\r\n",
                      "Line 5 must hold red, green and blue from 0 to 255.");
}

TEST(JascPalette, SavedAndLoadedThroughItsFormatEntry)
{
    TempDir dir;
    auto list = std::make_unique<ColorSetList>();
    list->ColorSets[0] = {ColorsOf({MakePackedColor(1, 1, 1)}), "a"};
    list->ColorSets[1] = {ColorsOf({MakePackedColor(200, 100, 50)}), "b"};
    list->SetCount = 2;
    list->SelectedSet = 1;
    const std::string path = (dir.Path() / "b.pal").string();
    EXPECT_FALSE(SavePaletteFile(path, JascPaletteFile, *list).has_value());
    EXPECT_EQ(ReadWholeFile(path), BuildJascPalette(list->ColorSets[1].Colors));

    const PaletteLoad load = LoadPaletteFile(path, JascPaletteFile, NesColorTable{});
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Colors, list->ColorSets[1].Colors);

    ExpectMessage(LoadPaletteFile(dir.WriteFile("bad.pal", Text("JASC\r\n")), JascPaletteFile, NesColorTable{}).Error,
                  "Not a JASC palette file.\rWrong header.", "Brixel", MsgIcon::None);
}
