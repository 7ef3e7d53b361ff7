#include "model/core/rom_file.h"
#include "model/palette/palette_transfer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

NesColorTable TestNesColors()
{
    NesColorTable table{};
    for (int i = 0; i < 64; ++i)
        table[i] = MakePackedColor(i, 2 * i, 3 * i);
    return table;
}

class PaletteTransfer : public ::testing::Test {
protected:
    std::string Open(std::vector<std::uint8_t> bytes)
    {
        path = dir.WriteFile("rom.bin", bytes);
        EXPECT_TRUE(file.Open(path).Opened());
        return path;
    }

    TempDir dir;
    std::string path;
    RomFile file;
};

const std::vector<std::uint8_t> FourWords{0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0xFF, 0x7F};

}  // namespace

TEST_F(PaletteTransfer, ImportsWordsInBothFifteenBitEncodings)
{
    std::vector<std::uint8_t> rom(1024, 0);
    std::copy(FourWords.begin(), FourWords.end(), rom.begin() + 256);
    Open(rom);
    const ColorSetEntry bgr = ImportPalette(file, 256, EncodingBgr15, 4, TestNesColors(), "256");
    EXPECT_EQ(bgr.Description, "15 bpc BGR (SNES) at 256");
    EXPECT_EQ(bgr.Colors[0], MakePackedColor(248, 0, 0));
    EXPECT_EQ(bgr.Colors[1], MakePackedColor(0, 248, 0));
    EXPECT_EQ(bgr.Colors[2], MakePackedColor(0, 0, 248));
    EXPECT_EQ(bgr.Colors[3], MakePackedColor(248, 248, 248));
    EXPECT_EQ(bgr.Colors[4], 0u);
    EXPECT_EQ(bgr.Colors[255], 0u);

    const ColorSetEntry rgb = ImportPalette(file, 256, EncodingRgb15, 4, TestNesColors(), "256");
    EXPECT_EQ(rgb.Description, "15 bpc RGB at 256");
    EXPECT_EQ(rgb.Colors[0], MakePackedColor(0, 0, 248));
    EXPECT_EQ(rgb.Colors[2], MakePackedColor(248, 0, 0));
}

TEST_F(PaletteTransfer, NesImportReadsOneBytePerColor)
{
    Open({0x16, 0x41});
    const ColorSetEntry nes = ImportPalette(file, 0, EncodingNes, 2, TestNesColors(), "0");
    EXPECT_EQ(nes.Colors[0], TestNesColors()[0x16]);
    EXPECT_EQ(nes.Colors[1], TestNesColors()[1]);
}

TEST_F(PaletteTransfer, ColorsPastTheEndRepeatTheLastValue)
{
    Open({0x1F, 0x00, 0xE0});  // one whole word, then one byte
    const ColorSetEntry set = ImportPalette(file, 0, EncodingBgr15, 4, TestNesColors(), "0");
    EXPECT_EQ(set.Colors[0], MakePackedColor(248, 0, 0));
    // The next word gets its low byte 0xE0 and keeps the high byte 0x00.
    EXPECT_EQ(set.Colors[1], ColToRGB(0x00E0, EncodingBgr15, TestNesColors()));
    EXPECT_EQ(set.Colors[3], set.Colors[1]);
}

TEST_F(PaletteTransfer, ExportRestoresTheWordsAndKeepsBitFifteen)
{
    std::vector<std::uint8_t> rom(1024, 0);
    std::copy(FourWords.begin(), FourWords.end(), rom.begin() + 256);
    rom[256 + 7] = 0xFF;  // bit 15 set in the last word
    Open(rom);
    const ColorSetEntry set = ImportPalette(file, 256, EncodingBgr15, 4, TestNesColors(), "256");
    std::fill(rom.begin() + 256, rom.begin() + 264, 0);
    ASSERT_EQ(ExportPalette(file, 256, EncodingBgr15, 4, set.Colors), ExportOutcome::Written);
    const auto after = ReadWholeFile(path);
    EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + 256, after.begin() + 264),
              (std::vector<std::uint8_t>{0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0xFF, 0xFF}));
    EXPECT_EQ(after.size(), 1024u);
}

TEST_F(PaletteTransfer, ExportRefusesNesAndAddressesOutsideTheFile)
{
    const std::vector<std::uint8_t> rom(64, 0x55);
    Open(rom);
    Palette256 colors{};
    EXPECT_EQ(ExportPalette(file, 0, EncodingNes, 4, colors), ExportOutcome::NesRefused);
    EXPECT_EQ(ExportPalette(file, -2, EncodingBgr15, 4, colors), ExportOutcome::OutsideFile);
    EXPECT_EQ(ExportPalette(file, 58, EncodingBgr15, 4, colors), ExportOutcome::OutsideFile);
    EXPECT_EQ(ExportPalette(file, 0, EncodingBgr15, 256, colors), ExportOutcome::OutsideFile);
    EXPECT_EQ(ReadWholeFile(path), rom);
    EXPECT_EQ(ExportPalette(file, 56, EncodingBgr15, 4, colors), ExportOutcome::Written);
    EXPECT_EQ(ReadWholeFile(path).size(), 64u);
}
