#include "model/palette/own_palette_format.h"
#include "model/palette/palette_files.h"
#include "model/palette/riff_palette_format.h"
#include "model/palette/savestates.h"
#include "model/palette/tile_layer_palette_format.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::uint16_t>;

NesColorTable TestNesColors()
{
    NesColorTable colors{};
    for (int i = 0; i < 64; ++i)
        colors[static_cast<std::size_t>(i)] = MakePackedColor(i, 2 * i, 3 * i);
    return colors;
}

// A file of the given size whose bytes outside the palette are 0xA5, so a
// read at the wrong place gives other colors.
Bytes FileWith(std::size_t size, std::size_t offset, const Bytes& palette)
{
    Bytes file(size, 0xA5);
    std::copy(palette.begin(), palette.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
    return file;
}


Bytes LittleEndian(const Words& words)
{
    Bytes bytes;
    for (const auto word : words) {
        bytes.push_back(static_cast<std::uint8_t>(word));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

// Distinct words for every position, masked to the given bits.
Words PatternWords(int count, std::uint16_t mask)
{
    Words words;
    for (int i = 0; i < count; ++i)
        words.push_back(static_cast<std::uint16_t>((i * 37 + 5) & mask));
    return words;
}

// The colors words[first .. first + count) give in the encoding, black after.
Palette256 ExpectedColors(const Words& words, std::size_t first, std::size_t count, std::uint8_t encoding)
{
    Palette256 colors{};
    for (std::size_t i = 0; i < count; ++i)
        colors[i] = ColToRGB(words[first + i], encoding, NesColorTable{});
    return colors;
}

void ExpectRefused(const PaletteLoad& load, const std::string& text, const std::string& caption, MsgIcon icon)
{
    EXPECT_TRUE(load.Sets.empty());
    ASSERT_TRUE(load.Error.has_value());
    EXPECT_EQ(load.Error->Text, text);
    EXPECT_EQ(load.Error->Caption, caption);
    EXPECT_EQ(load.Error->Icon, icon);
}

void ExpectReadFailure(const PaletteLoad& load)
{
    ExpectRefused(load, "Could not read the selected file.", "Loading process aborted", MsgIcon::Critical);
}

class SavestateFile : public ::testing::Test {
protected:
    std::string Write(const Bytes& bytes) { return dir_.WriteFile("state" + std::to_string(files_++), bytes); }

    PaletteLoad Load(const Bytes& bytes, const PaletteFileFormat& format)
    {
        return LoadPaletteFile(Write(bytes), format, nes_);
    }

    std::string MissingPath() const { return (dir_.Path() / "missing.sta").string(); }

    // Compresses the bytes into a gzip file the way the emulator writes it.
    std::string WriteGzip(const Bytes& plain)
    {
        const std::string path = (dir_.Path() / ("state" + std::to_string(files_++) + ".gz")).string();
        gzFile file = gzopen(path.c_str(), "wb");
        if (file == nullptr)
            throw std::runtime_error("cannot create " + path);
        const int written = gzwrite(file, plain.data(), static_cast<unsigned>(plain.size()));
        if (gzclose(file) != Z_OK || written != static_cast<int>(plain.size()))
            throw std::runtime_error("cannot compress into " + path);
        return path;
    }

    TempDir dir_;
    NesColorTable nes_ = TestNesColors();
    int files_ = 0;
};

using SavestateNesticle = SavestateFile;
using SavestateVgba = SavestateFile;
using SavestateNocash = SavestateFile;
using SavestateZSnes = SavestateFile;
using SavestateCygne = SavestateFile;
using SavestateBoycott = SavestateFile;
using SavestateCommon = SavestateFile;

}  // namespace

TEST_F(SavestateNesticle, ReadsThirtyTwoNesBytes)
{
    Bytes palette;
    for (int i = 0; i < 32; ++i)
        palette.push_back(static_cast<std::uint8_t>(i * 7 + 3));
    palette[0] = 0x41;  // above 63: the index wraps
    palette[31] = 0xFF;
    const auto load = Load(FileWith(22992, 22791, palette), NesticleSavestate);

    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "NESticle STA palette");
    const auto& colors = load.Sets[0].Colors;
    EXPECT_EQ(colors[0], MakePackedColor(1, 2, 3));
    EXPECT_EQ(colors[1], MakePackedColor(10, 20, 30));
    EXPECT_EQ(colors[31], MakePackedColor(63, 126, 189));
    for (std::size_t i = 0; i < 32; ++i)
        EXPECT_EQ(colors[i], nes_[palette[i] % 64]) << i;
    for (std::size_t i = 32; i < 256; ++i)
        EXPECT_EQ(colors[i], 0u) << i;
}

TEST_F(SavestateNesticle, RefusesAnyOtherSize)
{
    for (const std::size_t size : {22991u, 22993u, 0u})
        ExpectRefused(Load(Bytes(size, 0x01), NesticleSavestate),
                      "Not a NESticle savestate.\rFilesize must be 22992 bytes.", "Brixel", MsgIcon::None);
}

TEST_F(SavestateVgba, ReadsTheObjectThenTheBackgroundPalette)
{
    Words words = PatternWords(512, 0x7FFF);
    words[0] = 0x001F;
    words[255] = 0x7C00;
    words[256] = 0x03E0;
    words[511] = 0x1234;
    const auto load = Load(FileWith(509144, 312536, LittleEndian(words)), VgbaSavestate);

    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 2u);
    EXPECT_EQ(load.Sets[0].Description, "VGBA OBJ palette");
    EXPECT_EQ(load.Sets[1].Description, "VGBA BG palette");
    EXPECT_EQ(load.Sets[0].Colors[0], MakePackedColor(0, 0, 248));
    EXPECT_EQ(load.Sets[0].Colors[255], MakePackedColor(248, 0, 0));
    EXPECT_EQ(load.Sets[1].Colors[0], MakePackedColor(0, 248, 0));
    EXPECT_EQ(load.Sets[1].Colors[255], MakePackedColor(32, 136, 160));
    EXPECT_EQ(load.Sets[0].Colors, ExpectedColors(words, 0, 256, EncodingRgb15));
    EXPECT_EQ(load.Sets[1].Colors, ExpectedColors(words, 256, 256, EncodingRgb15));
}

TEST_F(SavestateVgba, RefusesAnyOtherSize)
{
    for (const std::size_t size : {509143u, 509145u})
        ExpectRefused(Load(Bytes(size, 0x01), VgbaSavestate),
                      "Not a VGBA 1.0 savestate.\rFilesize must be 509144 bytes.", "Brixel", MsgIcon::None);
}

TEST_F(SavestateNocash, ReadsSixtyFourWordsAfterTheHeader)
{
    Words words = PatternWords(64, 0x7FFF);
    words[0] = 0x001F;
    words[63] = 0x1234;
    Bytes file = FileWith(1757, 1628, LittleEndian(words));
    std::copy_n("no$gmb snapshot", 15, file.begin());
    const auto load = Load(file, NocashSavestate);

    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "No$gmb SNA palette");
    EXPECT_EQ(load.Sets[0].Colors[0], MakePackedColor(0, 0, 248));
    EXPECT_EQ(load.Sets[0].Colors[63], MakePackedColor(32, 136, 160));
    EXPECT_EQ(load.Sets[0].Colors[64], 0u);
    EXPECT_EQ(load.Sets[0].Colors, ExpectedColors(words, 0, 64, EncodingRgb15));
}

TEST_F(SavestateNocash, AcceptsLargerFilesAndOnlyLooksAtFifteenHeaderBytes)
{
    const Words words = PatternWords(64, 0x7FFF);
    Bytes file = FileWith(100000, 1628, LittleEndian(words));
    std::copy_n("no$gmb snapshot?", 16, file.begin());
    const auto load = Load(file, NocashSavestate);

    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Colors, ExpectedColors(words, 0, 64, EncodingRgb15));
}

TEST_F(SavestateNocash, RefusesFilesOfAtMost1756Bytes)
{
    for (const std::size_t size : {1756u, 15u, 0u}) {
        Bytes file(size, 0);
        std::copy_n("no$gmb snapshot", std::min<std::size_t>(15, size), file.begin());
        ExpectRefused(Load(file, NocashSavestate), "Not a No$gmb savestate.\rFilesize is too small.", "Brixel",
                      MsgIcon::None);
    }
}

TEST_F(SavestateNocash, RefusesAWrongHeader)
{
    for (const std::size_t wrong : {0u, 7u, 14u}) {
        Bytes file(1757, 0);
        std::copy_n("no$gmb snapshot", 15, file.begin());
        file[wrong] ^= 0x20;
        ExpectRefused(Load(file, NocashSavestate), "Wrong header bytes", "Not a no$gmb palette file",
                      MsgIcon::Critical);
    }
}

TEST_F(SavestateZSnes, ReadsBgrWordsAtAnOddOffset)
{
    Words words = PatternWords(256, 0x7FFF);
    words[0] = 0x001F;
    words[255] = 0x1234;
    const auto load = Load(FileWith(274047, 52243, LittleEndian(words)), ZSnesSavestate);

    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "ZSnes palette");
    EXPECT_EQ(load.Sets[0].Colors[0], MakePackedColor(248, 0, 0));
    EXPECT_EQ(load.Sets[0].Colors[255], MakePackedColor(160, 136, 32));
    EXPECT_EQ(load.Sets[0].Colors, ExpectedColors(words, 0, 256, EncodingBgr15));
}

TEST_F(SavestateZSnes, RefusesAnyOtherSize)
{
    for (const std::size_t size : {274046u, 274048u})
        ExpectRefused(Load(Bytes(size, 0x01), ZSnesSavestate), "Not a ZSnes savestate.\rFilesize must be 274047 bytes.",
                      "Brixel", MsgIcon::None);
}

TEST_F(SavestateCygne, ReadsTwelveBitWords)
{
    Words words = PatternWords(256, 0xFFFF);
    words[0] = 0x0ABC;
    words[1] = 0xF123;  // the top four bits are no color
    words[255] = 0x0F01;
    const auto load = Load(FileWith(135674, 66120, LittleEndian(words)), CygneSavestate);

    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "Cygne palette");
    const auto& colors = load.Sets[0].Colors;
    EXPECT_EQ(colors[0], MakePackedColor(0xA0, 0xB0, 0xC0));
    EXPECT_EQ(colors[1], MakePackedColor(0x10, 0x20, 0x30));
    EXPECT_EQ(colors[255], MakePackedColor(0xF0, 0x00, 0x10));
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_EQ(colors[i], CygneToRGB(words[i])) << i;
}

TEST_F(SavestateCygne, RefusesAnyOtherSize)
{
    for (const std::size_t size : {135673u, 135675u})
        ExpectRefused(Load(Bytes(size, 0x01), CygneSavestate), "Not a Cygne savestate.\rFilesize must be 135674 bytes.",
                      "Brixel", MsgIcon::None);
}

TEST_F(SavestateCommon, AFileGoneSinceTheCheckCannotBeRead)
{
    for (const PaletteFileFormat* format :
         {&NesticleSavestate, &VgbaSavestate, &NocashSavestate, &ZSnesSavestate, &CygneSavestate})
        ExpectReadFailure(LoadPaletteFile(MissingPath(), *format, nes_));
}

TEST_F(SavestateCommon, ASavestatePickedUnderAPaletteEntryIsReadAsThatPalette)
{
    // A file of the NESticle size read by the palette file entries: each
    // judges it by its own rules.
    const std::string path = Write(Bytes(22992, 0x01));
    ExpectRefused(LoadPaletteFile(path, OwnPaletteFile, nes_), "Wrong header bytes", "Not a palette file",
                  MsgIcon::Critical);
    ExpectRefused(LoadPaletteFile(path, RiffPaletteFile, nes_), "Not a 256 color RIFF palette.\rFilesize must be 1052.",
                  "Brixel", MsgIcon::None);
    const auto load = LoadPaletteFile(path, TileLayerPaletteFile, nes_);
    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "Tile Layer palette");
    EXPECT_EQ(load.Sets[0].Colors[15], MakePackedColor(4, 4, 4));
    EXPECT_EQ(load.Sets[0].Colors[16], 0u);
}

namespace {

constexpr std::size_t BoycottOffset = 297421;

// Words for both Boycott sets, bit 15 set in every odd one.
Words BoycottWords()
{
    Words words = PatternWords(512, 0x7FFF);
    for (std::size_t i = 1; i < words.size(); i += 2)
        words[i] |= 0x8000;
    words[0] = 0x801F;
    words[255] = 0x1234;
    words[256] = 0xFFFF;
    words[511] = 0x7C00;
    return words;
}

Words WithoutBit15(Words words)
{
    for (auto& word : words)
        word &= 0x7FFF;
    return words;
}

void ExpectBoycottRefused(const PaletteLoad& load)
{
    ExpectRefused(load, "Not a Boycott Advance savestate.\rThe palette could not be read.", "Brixel", MsgIcon::None);
}

}  // namespace

TEST_F(SavestateBoycott, ReadsBothSetsFromTheDecompressedStream)
{
    const Words words = BoycottWords();
    const std::string path = WriteGzip(FileWith(300000, BoycottOffset, LittleEndian(words)));
    const auto load = LoadPaletteFile(path, BoycottSavestate, nes_);

    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 2u);
    EXPECT_EQ(load.Sets[0].Description, "Boycott Advance OBJ palette");
    EXPECT_EQ(load.Sets[1].Description, "Boycott Advance BG palette");
    EXPECT_EQ(load.Sets[0].Colors[0], MakePackedColor(248, 0, 0));
    EXPECT_EQ(load.Sets[0].Colors[255], MakePackedColor(160, 136, 32));
    EXPECT_EQ(load.Sets[1].Colors[0], MakePackedColor(248, 248, 248));
    EXPECT_EQ(load.Sets[1].Colors[255], MakePackedColor(0, 0, 248));
    const Words cleared = WithoutBit15(words);
    EXPECT_EQ(load.Sets[0].Colors, ExpectedColors(cleared, 0, 256, EncodingBgr15));
    EXPECT_EQ(load.Sets[1].Colors, ExpectedColors(cleared, 256, 256, EncodingBgr15));
}

TEST_F(SavestateBoycott, AStreamEndingRightAfterThePaletteIsEnough)
{
    const Words words = BoycottWords();
    const std::string path = WriteGzip(FileWith(BoycottOffset + 1024, BoycottOffset, LittleEndian(words)));
    const auto load = LoadPaletteFile(path, BoycottSavestate, nes_);

    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 2u);
    EXPECT_EQ(load.Sets[1].Colors, ExpectedColors(WithoutBit15(words), 256, 256, EncodingBgr15));
}

TEST_F(SavestateBoycott, AnUncompressedFileIsReadAsItIs)
{
    const Words words = BoycottWords();
    const auto load = Load(FileWith(BoycottOffset + 1024, BoycottOffset, LittleEndian(words)), BoycottSavestate);

    ASSERT_FALSE(load.Error.has_value());
    ASSERT_EQ(load.Sets.size(), 2u);
    EXPECT_EQ(load.Sets[0].Colors, ExpectedColors(WithoutBit15(words), 0, 256, EncodingBgr15));
}

TEST_F(SavestateBoycott, RefusesAStreamThatEndsBeforeThePaletteIsComplete)
{
    // Short of the offset, short of the first set, short of the second set.
    for (const std::size_t size : {BoycottOffset - 100, BoycottOffset, BoycottOffset + 511, BoycottOffset + 1023}) {
        const std::string path = WriteGzip(Bytes(size, 0x01));
        ExpectBoycottRefused(LoadPaletteFile(path, BoycottSavestate, nes_));
    }
}

TEST_F(SavestateBoycott, RefusesACorruptStream)
{
    // A gzip header, then a deflate block of the reserved type 3 and garbage.
    Bytes file{0x1F, 0x8B, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0xFF};
    const Bytes garbage = RandomBytes(4000, 7);
    file.insert(file.end(), garbage.begin(), garbage.end());
    ExpectBoycottRefused(Load(file, BoycottSavestate));
}

TEST_F(SavestateBoycott, RefusesATruncatedStream)
{
    // Random bytes hardly compress, so half the stream ends long before the palette.
    Bytes plain = RandomBytes(300000, 3);
    const Bytes palette = LittleEndian(BoycottWords());
    std::copy(palette.begin(), palette.end(), plain.begin() + BoycottOffset);
    Bytes stream = ReadWholeFile(WriteGzip(plain));
    ASSERT_GT(stream.size(), 200000u);
    stream.resize(stream.size() / 2);
    ExpectBoycottRefused(Load(stream, BoycottSavestate));
}

TEST_F(SavestateBoycott, RefusesAMissingOrEmptyFile)
{
    ExpectBoycottRefused(LoadPaletteFile(MissingPath(), BoycottSavestate, nes_));
    ExpectBoycottRefused(Load(Bytes{}, BoycottSavestate));
}
