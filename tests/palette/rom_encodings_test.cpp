// The console encodings after the first three: every stored value survives a
// trip through a color, hand-picked values give the colors the consoles
// show, and writing keeps the bits an encoding leaves alone.

#include "model/core/file_io.h"
#include "model/core/rom_file.h"
#include "model/palette/color_encoding.h"
#include "model/palette/palette_transfer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <bit>

namespace {

struct UsedBits {
    std::uint8_t Encoding;
    std::uint16_t Mask;
};

constexpr UsedBits RepeatedEncodings[] = {
    {EncodingMd9, 0x0EEE},    {EncodingSms6, 0x003F},  {EncodingGg12, 0x0FFF},
    {EncodingNgpc12, 0x0FFF}, {EncodingGba15, 0x7FFF},
};

}  // namespace

TEST(RomEncodings, EveryStoredValueRoundTripsAndUnusedBitsAreIgnored)
{
    for (const UsedBits& e : RepeatedEncodings) {
        EXPECT_EQ(EncodingValueMask(e.Encoding), e.Mask);
        int values = 0;
        for (std::uint32_t value = 0; value <= 0xFFFF; ++value) {
            if ((value & ~e.Mask) != 0)
                continue;
            ++values;
            const PackedColor color = ColToRGB(value, e.Encoding, NesColorTable{});
            ASSERT_EQ(RGBToCol(color, e.Encoding), value) << int(e.Encoding);
            ASSERT_EQ(ColToRGB(value | (0xFFFF & ~e.Mask), e.Encoding, NesColorTable{}), color) << int(e.Encoding);
        }
        EXPECT_EQ(values, 1 << std::popcount(e.Mask));
    }
}

TEST(RomEncodings, ConsoleValuesGiveTheirColors)
{
    const struct {
        std::uint8_t Encoding;
        std::uint32_t Value;
        PackedColor Color;
    } cases[] = {
        {EncodingMd9, 0x0EEE, MakePackedColor(255, 255, 255)},  {EncodingMd9, 0x000E, MakePackedColor(255, 0, 0)},
        {EncodingMd9, 0x00E0, MakePackedColor(0, 255, 0)},      {EncodingMd9, 0x0E00, MakePackedColor(0, 0, 255)},
        {EncodingMd9, 0x0246, MakePackedColor(109, 73, 36)},    {EncodingSms6, 0x30, MakePackedColor(0, 0, 255)},
        {EncodingSms6, 0x03, MakePackedColor(255, 0, 0)},       {EncodingSms6, 0x24, MakePackedColor(0, 85, 170)},
        {EncodingGg12, 0x0FFF, MakePackedColor(255, 255, 255)}, {EncodingGg12, 0x0F00, MakePackedColor(0, 0, 255)},
        {EncodingGg12, 0x0138, MakePackedColor(136, 51, 17)},   {EncodingNgpc12, 0x000F, MakePackedColor(255, 0, 0)},
        {EncodingNgpc12, 0x00F0, MakePackedColor(0, 255, 0)},   {EncodingGba15, 0x7FFF, MakePackedColor(255, 255, 255)},
        {EncodingGba15, 0x001F, MakePackedColor(255, 0, 0)},    {EncodingGba15, 0x4001, MakePackedColor(8, 0, 132)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColToRGB(c.Value, c.Encoding, NesColorTable{}), c.Color) << int(c.Encoding) << " " << c.Value;
}

TEST(RomEncodings, OffGridChannelsTakeTheNearestLevelAndTheLowerOnATie)
{
    const struct {
        std::uint8_t Encoding;
        int Red;
        std::uint16_t Value;
    } cases[] = {
        {EncodingMd9, 18, 0x0000},  {EncodingMd9, 19, 0x0002},  {EncodingMd9, 200, 0x000A},
        {EncodingSms6, 42, 0x00},   {EncodingSms6, 43, 0x01},   {EncodingSms6, 250, 0x03},
        {EncodingGg12, 8, 0x0000},  {EncodingGg12, 9, 0x0001},  {EncodingNgpc12, 247, 0x000F},
        {EncodingGba15, 4, 0x0000}, {EncodingGba15, 5, 0x0001}, {EncodingGba15, 251, 0x001E},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RGBToCol(MakePackedColor(c.Red, 0, 0), c.Encoding), c.Value) << int(c.Encoding) << " " << c.Red;
}

TEST(RomEncodings, WritingKeepsTheUnusedBitsInTheEncodingsByteOrder)
{
    const struct {
        std::uint8_t Encoding;
        PackedColor Color;
        std::vector<std::uint8_t> Bytes;  // over a file of 0xFF
    } cases[] = {
        {EncodingMd9, MakePackedColor(0, 0, 0), {0xF1, 0x11}},
        {EncodingMd9, MakePackedColor(255, 0, 0), {0xF1, 0x1F}},
        {EncodingSms6, MakePackedColor(0, 0, 255), {0xF0}},
        {EncodingGg12, MakePackedColor(255, 0, 0), {0x0F, 0xF0}},
        {EncodingNgpc12, MakePackedColor(0, 0, 0), {0x00, 0xF0}},
        {EncodingGba15, MakePackedColor(0, 0, 255), {0x00, 0xFC}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.WriteFile("rom.bin", std::vector<std::uint8_t>(8, 0xFF));
        RomFile file;
        ASSERT_TRUE(file.Open(path).Opened());
        Palette256 colors{};
        colors[0] = c.Color;
        ASSERT_EQ(ExportPalette(file, 2, c.Encoding, 1, colors), ExportOutcome::Written);
        std::vector<std::uint8_t> expected(8, 0xFF);
        std::copy(c.Bytes.begin(), c.Bytes.end(), expected.begin() + 2);
        EXPECT_EQ(ReadWholeFile(path), expected) << int(c.Encoding);
        EXPECT_EQ(ImportPalette(file, 2, c.Encoding, 1, NesColorTable{}, "2").Colors[0], c.Color) << int(c.Encoding);
        const int pastTheEnd = 9 - static_cast<int>(c.Bytes.size());
        EXPECT_EQ(ExportPalette(file, pastTheEnd, c.Encoding, 1, colors), ExportOutcome::OutsideFile);
    }
}

TEST(RomEncodings, NamesAndTheDialogsValues)
{
    const char* const shortNames[] = {"rgb15", "bgr15", "nes", "md9", "sms6", "gg12", "ngpc12", "gba15"};
    for (std::uint8_t i = 0; i < 8; ++i)
        EXPECT_EQ(PaletteEncodingNamed(shortNames[i]), i);
    EXPECT_EQ(PaletteEncodingNamed("snes"), std::nullopt);
    EXPECT_EQ(RepeatedEncodingValuesText(MakePackedColor(255, 0, 40)),
              "9 bpc BGR (Mega Drive): 020E\n6 bpc BGR (Master System): 03\n"
              "12 bpc BGR (Game Gear/WonderSwan Color): 020F\n12 bpc BGR (Neo Geo Pocket Color): 020F\n"
              "15 bpc BGR (GBA/NDS): 141F");
}
