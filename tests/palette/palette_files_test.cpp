#include "model/palette/own_palette_format.h"
#include "model/palette/palette_files.h"
#include "model/palette/riff_palette_format.h"
#include "model/palette/savestates.h"
#include "model/palette/tile_layer_palette_format.h"
#include "support/expect_message.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The NES colors matter to no format read here.
const NesColorTable NoNesColors{};

// Colors that differ in every channel and from set to set.
Palette256 PatternColors(int seed)
{
    Palette256 colors{};
    for (int i = 0; i < 256; ++i)
        colors[i] = MakePackedColor(i + seed, 255 - i, (i * 7 + seed * 3) & 0xFF);
    return colors;
}

ColorSetList TwoSets()
{
    ColorSetList list;
    list.ColorSets[0] = {PatternColors(1), "A"};
    list.ColorSets[1] = {PatternColors(2), "B"};
    list.SetCount = 2;
    return list;
}

// The own file written out by hand, byte by byte.
void AppendSet(Bytes& bytes, const std::string& description, const Palette256& colors)
{
    bytes.insert(bytes.end(), description.begin(), description.end());
    bytes.push_back(0);
    for (const PackedColor color : colors) {
        bytes.push_back(static_cast<std::uint8_t>(color & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((color >> 8) & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((color >> 16) & 0xFF));
    }
}

const Bytes Magic{'B', 'X', 'P'};

const Bytes ExpectedRiffHeader{0x52, 0x49, 0x46, 0x46, 0x14, 0x04, 0x00, 0x00, 0x50, 0x41, 0x4C, 0x20,
                               0x64, 0x61, 0x74, 0x61, 0x08, 0x04, 0x00, 0x00, 0x00, 0x03, 0x00, 0x01};

void ExpectRefused(const PaletteLoad& load, const std::string& text, const std::string& caption, MsgIcon icon)
{
    ExpectMessage(load.Error, text, caption, icon);
    EXPECT_TRUE(load.Sets.empty());
}

}  // namespace

TEST(PaletteFileOwn, TwoSetsMakeExactBytes)
{
    Bytes expected = Magic;
    AppendSet(expected, "A", PatternColors(1));
    AppendSet(expected, "B", PatternColors(2));
    ASSERT_EQ(expected.size(), 1543u);

    const Bytes bytes = BuildOwnPaletteFile(TwoSets());
    EXPECT_EQ(bytes, expected);
    // Spot checks that do not depend on the helper above.
    ASSERT_EQ(bytes.size(), 1543u);
    EXPECT_EQ(bytes[3], 'A');
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[5], 1);    // red of color 0 in set "A"
    EXPECT_EQ(bytes[6], 255);  // green
    EXPECT_EQ(bytes[7], 3);    // blue
    EXPECT_EQ(bytes[773], 'B');
    EXPECT_EQ(bytes[774], 0);
    EXPECT_EQ(bytes[775], 2);
}

TEST(PaletteFileOwn, OnlyListedSetsAreWritten)
{
    ColorSetList list = TwoSets();
    list.SetCount = 1;
    EXPECT_EQ(BuildOwnPaletteFile(list).size(), 3u + 770u);
    list.SetCount = 0;
    EXPECT_EQ(BuildOwnPaletteFile(list), Magic);
}

TEST(PaletteFileOwn, RoundTripKeepsSetsInOrder)
{
    const PaletteLoad load = ReadOwnPaletteFile(BuildOwnPaletteFile(TwoSets()));
    EXPECT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 2u);
    EXPECT_EQ(load.Sets[0].Description, "A");
    EXPECT_EQ(load.Sets[0].Colors, PatternColors(1));
    EXPECT_EQ(load.Sets[1].Description, "B");
    EXPECT_EQ(load.Sets[1].Colors, PatternColors(2));
}

TEST(PaletteFileOwn, DescriptionsAreKeptAsBytes)
{
    ColorSetList list;
    list.ColorSets[0] = {PatternColors(5), std::string("Caf\xE9 \xFF", 6)};
    list.ColorSets[1] = {PatternColors(6), ""};
    list.SetCount = 2;
    const PaletteLoad load = ReadOwnPaletteFile(BuildOwnPaletteFile(list));
    ASSERT_EQ(load.Sets.size(), 2u);
    EXPECT_EQ(load.Sets[0].Description, std::string("Caf\xE9 \xFF", 6));
    EXPECT_EQ(load.Sets[1].Description, "");
    EXPECT_EQ(load.Sets[1].Colors, PatternColors(6));
}

TEST(PaletteFileOwn, SetCutShortIsNotCounted)
{
    const Bytes whole = BuildOwnPaletteFile(TwoSets());
    // Inside the colors, right after the 0 byte, inside the description and
    // one byte short of the end: the second set is dropped every time.
    for (const std::size_t length : {1000u, 775u, 774u, 773u, 1542u}) {
        const PaletteLoad load = ReadOwnPaletteFile(Bytes(whole.begin(), whole.begin() + length));
        EXPECT_FALSE(load.Error.has_value()) << length;
        ASSERT_EQ(load.Sets.size(), 1u) << length;
        EXPECT_EQ(load.Sets[0].Description, "A");
        EXPECT_EQ(load.Sets[0].Colors, PatternColors(1));
    }
    EXPECT_EQ(ReadOwnPaletteFile(Bytes(whole.begin(), whole.begin() + 772)).Sets.size(), 0u);
}

TEST(PaletteFileOwn, DescriptionWithoutItsZeroByte)
{
    Bytes bytes = Magic;
    bytes.insert(bytes.end(), {'a', 'b', 'c'});
    PaletteLoad load = ReadOwnPaletteFile(bytes);
    EXPECT_FALSE(load.Error.has_value());
    EXPECT_TRUE(load.Sets.empty());

    // Bytes that could be colors but have no 0 byte before them.
    bytes.assign(3 + 768, 7);
    std::copy(Magic.begin(), Magic.end(), bytes.begin());
    load = ReadOwnPaletteFile(bytes);
    EXPECT_FALSE(load.Error.has_value());
    EXPECT_TRUE(load.Sets.empty());
}

TEST(PaletteFileOwn, MagicAloneLoadsNoSetAndNoError)
{
    const PaletteLoad load = ReadOwnPaletteFile(Magic);
    EXPECT_FALSE(load.Error.has_value());
    EXPECT_TRUE(load.Sets.empty());
}

TEST(PaletteFileOwn, WrongOrShortMagicIsRefused)
{
    Bytes wrong = BuildOwnPaletteFile(TwoSets());
    wrong[2] = 'Q';
    const Bytes lowerCase{'b', 'x', 'p', 'A', 0};
    for (const Bytes& bytes : {wrong, lowerCase, Bytes{'B', 'X'}, Bytes{'B'}, Bytes{}})
        ExpectRefused(ReadOwnPaletteFile(bytes), "Wrong header bytes", "Not a palette file", MsgIcon::Critical);
}

TEST(PaletteFileOwn, StopsAfter255Sets)
{
    Bytes bytes = Magic;
    for (int set = 0; set < 256; ++set)
        AppendSet(bytes, "S" + std::to_string(set), PatternColors(set));
    const PaletteLoad load = ReadOwnPaletteFile(bytes);
    EXPECT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 255u);
    EXPECT_EQ(load.Sets[0].Description, "S0");
    EXPECT_EQ(load.Sets[254].Description, "S254");
    EXPECT_EQ(load.Sets[254].Colors, PatternColors(254));
}

TEST(PaletteFileRiff, BuildsExactBytes)
{
    const Palette256 colors = PatternColors(9);
    const Bytes bytes = BuildRiffPalette(colors);
    ASSERT_EQ(bytes.size(), 1052u);
    EXPECT_EQ(Bytes(RiffHeader.begin(), RiffHeader.end()), ExpectedRiffHeader);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 24), ExpectedRiffHeader);
    for (int i = 0; i < 256; ++i) {
        const std::size_t at = 24 + 4 * static_cast<std::size_t>(i);
        EXPECT_EQ(bytes[at], RedOf(colors[i])) << i;
        EXPECT_EQ(bytes[at + 1], GreenOf(colors[i])) << i;
        EXPECT_EQ(bytes[at + 2], BlueOf(colors[i])) << i;
        EXPECT_EQ(bytes[at + 3], 0) << i;
    }
    EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), Bytes(4, 0));
}

TEST(PaletteFileRiff, RoundTripGivesOneSet)
{
    const PaletteLoad load = ReadRiffPalette(BuildRiffPalette(PatternColors(9)));
    EXPECT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "RIFF palette");
    EXPECT_EQ(load.Sets[0].Colors, PatternColors(9));
}

TEST(PaletteFileRiff, FlagsAndTrailingBytesAreIgnored)
{
    Bytes bytes = BuildRiffPalette(PatternColors(4));
    for (std::size_t at = 24 + 3; at < 24 + 1024; at += 4)
        bytes[at] = 0xFF;
    std::fill(bytes.end() - 4, bytes.end(), 0xAB);
    const PaletteLoad load = ReadRiffPalette(bytes);
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Colors, PatternColors(4));
}

TEST(PaletteFileRiff, WrongSizeIsRefused)
{
    const Bytes whole = BuildRiffPalette(PatternColors(0));
    Bytes longer = whole;
    longer.push_back(0);
    for (const Bytes& bytes : {Bytes(whole.begin(), whole.begin() + 1048), longer, Bytes{}})
        ExpectRefused(ReadRiffPalette(bytes), "Not a 256 color RIFF palette.\rFilesize must be 1052.", "Brixel",
                      MsgIcon::None);
}

TEST(PaletteFileRiff, WrongHeaderIsRefused)
{
    Bytes bytes = BuildRiffPalette(PatternColors(0));
    bytes[22] = 0xFF;  // 255 entries
    bytes[23] = 0x00;
    ExpectRefused(ReadRiffPalette(bytes), "Not a 256 color RIFF file.\rWrong header.", "Brixel", MsgIcon::None);

    // Any single header byte changed is enough.
    for (std::size_t at = 0; at < 24; ++at) {
        Bytes changed = BuildRiffPalette(PatternColors(0));
        changed[at] ^= 0x01;
        const PaletteLoad load = ReadRiffPalette(changed);
        ASSERT_TRUE(load.Error.has_value()) << at;
        EXPECT_EQ(load.Error->Text, "Not a 256 color RIFF file.\rWrong header.") << at;
    }
}

TEST(PaletteFileTileLayer, BuildsSixteenColorsOfSixBits)
{
    Palette256 colors{};
    colors[0] = MakePackedColor(255, 128, 0);
    colors[1] = MakePackedColor(3, 4, 7);
    colors[15] = MakePackedColor(252, 251, 1);
    colors[16] = MakePackedColor(200, 200, 200);  // beyond the 16 colors
    Bytes expected(48, 0);
    expected[0] = 63;
    expected[1] = 32;
    expected[4] = 1;
    expected[5] = 1;
    expected[45] = 63;
    expected[46] = 62;
    EXPECT_EQ(BuildTileLayerPalette(colors), expected);
}

TEST(PaletteFileTileLayer, RoundTripScalesBack)
{
    Palette256 colors{};
    colors[0] = MakePackedColor(255, 128, 0);
    colors[15] = MakePackedColor(0, 255, 128);
    for (int i = 16; i < 256; ++i)
        colors[i] = MakePackedColor(9, 9, 9);
    const PaletteLoad load = ReadTileLayerPalette(BuildTileLayerPalette(colors));
    EXPECT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "Tile Layer palette");
    EXPECT_EQ(load.Sets[0].Colors[0], MakePackedColor(255, 131, 0));
    EXPECT_EQ(load.Sets[0].Colors[15], MakePackedColor(0, 255, 131));
    for (int i = 16; i < 256; ++i)
        EXPECT_EQ(load.Sets[0].Colors[i], 0u) << i;
}

TEST(PaletteFileTileLayer, SixBitValuesScaleByFourPointOne)
{
    // value, expected channel
    const std::vector<std::pair<int, int>> table{{0, 0},    {1, 4},     {10, 41},  {20, 82},  {31, 127},
                                                 {32, 131}, {50, 205},  {60, 246}, {62, 254}, {63, 255},
                                                 {64, 255}, {200, 255}, {255, 255}};
    for (const auto& [value, channel] : table) {
        Bytes bytes(48, 0);
        bytes[0] = static_cast<std::uint8_t>(value);
        const PaletteLoad load = ReadTileLayerPalette(bytes);
        ASSERT_EQ(load.Sets.size(), 1u);
        EXPECT_EQ(load.Sets[0].Colors[0], MakePackedColor(channel, 0, 0)) << value;
    }
}

TEST(PaletteFileTileLayer, ShortFileReadsMissingBytesAsZero)
{
    const Bytes bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const PaletteLoad load = ReadTileLayerPalette(bytes);
    ASSERT_EQ(load.Sets.size(), 1u);
    const Palette256& colors = load.Sets[0].Colors;
    EXPECT_EQ(colors[0], MakePackedColor(4, 8, 12));
    EXPECT_EQ(colors[1], MakePackedColor(16, 20, 24));
    EXPECT_EQ(colors[2], MakePackedColor(28, 32, 36));
    EXPECT_EQ(colors[3], MakePackedColor(41, 0, 0));
    for (int i = 4; i < 256; ++i)
        EXPECT_EQ(colors[i], 0u) << i;

    const PaletteLoad empty = ReadTileLayerPalette({});
    ASSERT_EQ(empty.Sets.size(), 1u);
    EXPECT_EQ(empty.Sets[0].Colors, Palette256{});
}

TEST(PaletteFileLoad, MissingFileIsReported)
{
    TempDir dir;
    const std::string path = (dir.Path() / "none.pal").string();
    for (const PaletteFileFormat* format : {&OwnPaletteFile, &RiffPaletteFile, &TileLayerPaletteFile})
        ExpectRefused(LoadPaletteFile(path, *format, NoNesColors), "Could not find the selected file.",
                      "Loading process aborted", MsgIcon::None);
    ExpectRefused(LoadPaletteFile("", OwnPaletteFile, NoNesColors), "Could not find the selected file.",
                  "Loading process aborted", MsgIcon::None);
}

TEST(PaletteFileLoad, FolderCannotBeRead)
{
    TempDir dir;
    for (const PaletteFileFormat* format : {&OwnPaletteFile, &RiffPaletteFile, &TileLayerPaletteFile})
        ExpectRefused(LoadPaletteFile(dir.Path().string(), *format, NoNesColors), "Could not read the selected file.",
                      "Loading process aborted", MsgIcon::Critical);
}

TEST(PaletteFileLoad, ASavestateEntryJudgesAnyFileAsItsSavestate)
{
    // An own palette file picked under a savestate entry is never read as
    // an own file: the entry, not the content, is the format.
    TempDir dir;
    const std::string path = dir.WriteFile("state.zst", BuildOwnPaletteFile(TwoSets()));
    ExpectRefused(LoadPaletteFile(path, NesticleSavestate, NoNesColors),
                  "Not a NESticle savestate.\rFilesize must be 22992 bytes.", "Brixel", MsgIcon::None);
    ExpectRefused(LoadPaletteFile(path, CygneSavestate, NoNesColors),
                  "Not a Cygne savestate.\rFilesize must be 135674 bytes.", "Brixel", MsgIcon::None);
}

TEST(PaletteFileLoad, FilesGiveTheReadersResults)
{
    TempDir dir;
    const PaletteLoad own =
        LoadPaletteFile(dir.WriteFile("a.bxp", BuildOwnPaletteFile(TwoSets())), OwnPaletteFile, NoNesColors);
    ASSERT_EQ(own.Sets.size(), 2u);
    EXPECT_EQ(own.Sets[1].Colors, PatternColors(2));

    ExpectRefused(LoadPaletteFile(dir.WriteFile("b.bxp", {'X'}), OwnPaletteFile, NoNesColors), "Wrong header bytes",
                  "Not a palette file", MsgIcon::Critical);

    Bytes riff = BuildRiffPalette(PatternColors(3));
    riff[23] = 0x02;
    ExpectRefused(LoadPaletteFile(dir.WriteFile("c.pal", riff), RiffPaletteFile, NoNesColors),
                  "Not a 256 color RIFF file.\rWrong header.", "Brixel", MsgIcon::None);

    // A long file: only its first 48 bytes are colors.
    Bytes tileLayer(4096, 0);
    tileLayer[0] = 62;
    tileLayer[47] = 31;
    tileLayer[48] = 40;
    const PaletteLoad tl = LoadPaletteFile(dir.WriteFile("d.pal", tileLayer), TileLayerPaletteFile, NoNesColors);
    ASSERT_EQ(tl.Sets.size(), 1u);
    EXPECT_EQ(tl.Sets[0].Colors[0], MakePackedColor(254, 0, 0));
    EXPECT_EQ(tl.Sets[0].Colors[15], MakePackedColor(0, 0, 127));
    EXPECT_EQ(tl.Sets[0].Colors[16], 0u);
}

TEST(PaletteFileLoad, HugeRiffFileGetsTheSizeMessage)
{
    TempDir dir;
    const std::string path = dir.WriteFile("huge.pal", BuildRiffPalette(PatternColors(1)));
    std::filesystem::resize_file(path, std::uintmax_t{1} << 32);  // sparse: nothing is stored
    ExpectRefused(LoadPaletteFile(path, RiffPaletteFile, NoNesColors),
                  "Not a 256 color RIFF palette.\rFilesize must be 1052.", "Brixel", MsgIcon::None);
}

TEST(PaletteFileLoad, HugeOwnFileIsReadUpToTheLimit)
{
    TempDir dir;
    ColorSetList list = TwoSets();
    list.SetCount = 1;
    const std::string path = dir.WriteFile("huge.bxp", BuildOwnPaletteFile(list));
    std::filesystem::resize_file(path, std::uintmax_t{1} << 32);
    // The zeros after the first set read as black sets without a name.
    const PaletteLoad load = LoadPaletteFile(path, OwnPaletteFile, NoNesColors);
    EXPECT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 255u);
    EXPECT_EQ(load.Sets[0].Description, "A");
    EXPECT_EQ(load.Sets[254].Description, "");
    EXPECT_EQ(load.Sets[254].Colors, Palette256{});
}

TEST(PaletteFileSave, OwnFileHoldsAllSets)
{
    TempDir dir;
    const std::string path = (dir.Path() / "all.bxp").string();
    EXPECT_FALSE(SavePaletteFile(path, OwnPaletteFile, TwoSets()).has_value());
    EXPECT_EQ(ReadWholeFile(path), BuildOwnPaletteFile(TwoSets()));
    const PaletteLoad load = LoadPaletteFile(path, OwnPaletteFile, NoNesColors);
    ASSERT_EQ(load.Sets.size(), 2u);
    EXPECT_EQ(load.Sets[0].Description, "A");
}

TEST(PaletteFileSave, SingleSetFormatsWriteTheSelectedSet)
{
    TempDir dir;
    ColorSetList list = TwoSets();
    list.SelectedSet = 1;
    const std::string riff = (dir.Path() / "sel.pal").string();
    const std::string tileLayer = (dir.Path() / "tl.pal").string();
    EXPECT_FALSE(SavePaletteFile(riff, RiffPaletteFile, list).has_value());
    EXPECT_FALSE(SavePaletteFile(tileLayer, TileLayerPaletteFile, list).has_value());
    EXPECT_EQ(ReadWholeFile(riff), BuildRiffPalette(PatternColors(2)));
    EXPECT_EQ(ReadWholeFile(tileLayer), BuildTileLayerPalette(PatternColors(2)));
    EXPECT_EQ(ReadWholeFile(tileLayer).size(), 48u);

    // Saving again replaces the old content.
    list.SelectedSet = 0;
    EXPECT_FALSE(SavePaletteFile(riff, RiffPaletteFile, list).has_value());
    EXPECT_EQ(ReadWholeFile(riff), BuildRiffPalette(PatternColors(1)));
}

TEST(PaletteFileSave, MissingFolderGivesTheFailureMessage)
{
    TempDir dir;
    const std::string path = (dir.Path() / "no such folder" / "x.bxp").string();
    for (const PaletteFileFormat* format : {&OwnPaletteFile, &RiffPaletteFile, &TileLayerPaletteFile}) {
        const auto message = SavePaletteFile(path, *format, TwoSets());
        ASSERT_TRUE(message.has_value());
        const std::string start = "Could not save the palette file '" + path + "': ";
        EXPECT_EQ(message->Text.substr(0, start.size()), start);
        EXPECT_GT(message->Text.size(), start.size() + 1);  // a reason follows
        EXPECT_EQ(message->Text.back(), '.');
        EXPECT_EQ(message->Caption, "Saving failed");
        EXPECT_EQ(message->Icon, MsgIcon::Critical);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "no such folder"));
}

TEST(PaletteFileSave, SavestateFormatsAreNotWritten)
{
    TempDir dir;
    const std::string path = (dir.Path() / "state.zst").string();
    ExpectMessage(SavePaletteFile(path, ZSnesSavestate, TwoSets()),
                  "Could not save the palette file '" + path + "': the format cannot be saved.", "Saving failed",
                  MsgIcon::Critical);
    EXPECT_FALSE(std::filesystem::exists(path));
}
