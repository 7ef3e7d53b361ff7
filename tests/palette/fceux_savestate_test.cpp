#include "model/core/byte_order.h"
#include "model/palette/palette_files.h"
#include "model/palette/savestates.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// An uncompressed FCE Ultra savestate written from the format's
// description: the 16-byte header, a CPU section, then the PPU section with
// name table, palette and sprite chunks.
struct FcsFile {
    char Magic[4] = "FCS";
    std::uint32_t PaletteLength = 32;
    const char* PaletteName = "PRAM";
    std::uint8_t PpuKind = 3;
    std::int64_t PpuSizeChange = 0;  // added to the PPU section's stored size
    std::uint32_t ClaimedSpriteLength = 8;

    Bytes Build() const
    {
        Bytes file(16, 0);
        std::memcpy(file.data(), Magic, 3);
        file[3] = 0xFF;
        const auto section = [&](std::uint8_t kind) {
            file.push_back(kind);
            file.resize(file.size() + 4);
            return file.size() - 5;
        };
        const auto chunk = [&](const char* name, std::uint32_t length, std::uint32_t claimed, std::uint8_t first) {
            const std::size_t at = file.size();
            file.resize(at + 8 + length);
            std::memcpy(file.data() + at, name, 4);
            WriteLe32(file.data() + at + 4, claimed);
            for (std::uint32_t i = 0; i < length; ++i)
                file[at + 8 + i] = static_cast<std::uint8_t>(first + i * 5);
        };
        const auto close = [&](std::size_t at, std::int64_t change) {
            WriteLe32(file.data() + at + 1, static_cast<std::uint32_t>(file.size() - at + change));
        };
        const std::size_t cpu = section(1);
        chunk("PC\0\0", 2, 2, 0x77);
        close(cpu, 0);
        const std::size_t ppu = section(PpuKind);
        chunk("NTAR", 24, 24, 0x40);
        chunk(PaletteName, PaletteLength, PaletteLength, 3);
        chunk("SPRA", 8, ClaimedSpriteLength, 0x90);
        close(ppu, PpuSizeChange);
        WriteLe32(file.data() + 4, static_cast<std::uint32_t>(file.size() - 16));
        return file;
    }
};

NesColorTable DistinctNesColors()
{
    NesColorTable colors{};
    for (int i = 0; i < 64; ++i)
        colors[static_cast<std::size_t>(i)] = MakePackedColor(i, 2 * i, 3 * i);
    return colors;
}

class FceuxSavestateTest : public ::testing::Test {
protected:
    std::string Write(const Bytes& bytes) { return dir_.WriteFile("state" + std::to_string(files_++) + ".fc0", bytes); }
    PaletteLoad Load(const std::string& path) { return LoadPaletteFile(path, FceuxSavestate, nes_); }

    TempDir dir_;
    NesColorTable nes_ = DistinctNesColors();
    int files_ = 0;
};

}  // namespace

TEST_F(FceuxSavestateTest, ReadsThePpuPaletteChunkThroughTheNesColors)
{
    const PaletteLoad load = Load(Write(FcsFile{}.Build()));

    ASSERT_FALSE(load.Error.has_value()) << load.Error->Text;
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "FCEUX FCS palette");
    EXPECT_EQ(load.Sets[0].Colors[0], MakePackedColor(3, 6, 9));
    EXPECT_EQ(load.Sets[0].Colors[13], MakePackedColor(4, 8, 12));  // 68 wraps to 4
    for (std::size_t i = 0; i < 32; ++i)
        EXPECT_EQ(load.Sets[0].Colors[i], nes_[(3 + i * 5) % 64]) << i;
    for (std::size_t i = 32; i < 256; ++i)
        EXPECT_EQ(load.Sets[0].Colors[i], 0u) << i;
}

TEST_F(FceuxSavestateTest, RefusesWrongHeadersAndWalksThatFindNoPalette)
{
    const std::string none = "Not an uncompressed FCE Ultra savestate.\rNo PPU palette was found.";
    const struct {
        const char* Name;
        std::function<void(FcsFile&)> Change;
        std::string Message;
    } cases[] = {
        {"header", [](FcsFile& f) { std::memcpy(f.Magic, "FCX", 3); },
         "Not an FCE Ultra savestate.\rWrong header bytes."},
        {"no PPU section", [](FcsFile& f) { f.PpuKind = 4; }, none},
        {"no PRAM chunk", [](FcsFile& f) { f.PaletteName = "PRAN"; }, none},
        {"31 palette bytes", [](FcsFile& f) { f.PaletteLength = 31; }, none},
        {"section past the end", [](FcsFile& f) { f.PpuSizeChange = 1; }, none},
        {"section cuts the palette", [](FcsFile& f) { f.PpuSizeChange = -(8 + 8 + 1); }, none},
        {"chunk past its section",
         [](FcsFile& f) {
             f.PaletteName = "PRAX";
             f.ClaimedSpriteLength = 9;
         },
         none},
    };
    for (const auto& c : cases) {
        FcsFile file;
        c.Change(file);
        const PaletteLoad load = Load(Write(file.Build()));
        ASSERT_TRUE(load.Error.has_value()) << c.Name;
        EXPECT_EQ(load.Error->Text, c.Message) << c.Name;
        EXPECT_EQ(load.Error->Caption, "Brixel") << c.Name;
        EXPECT_TRUE(load.Sets.empty()) << c.Name;
    }
}

TEST_F(FceuxSavestateTest, RefusesFilesTooSmallOrTooLargeByTheirSize)
{
    EXPECT_EQ(Load(Write(Bytes{'F', 'C', 'S', 0xFF})).Error->Text,
              "Not an FCE Ultra savestate.\rFilesize is too small.");
    const std::string large = Write(FcsFile{}.Build());
    std::filesystem::resize_file(large, 4 * 1024 * 1024);
    EXPECT_FALSE(Load(large).Error.has_value());
    std::filesystem::resize_file(large, 4 * 1024 * 1024 + 1);
    EXPECT_EQ(Load(large).Error->Text, "Not an FCE Ultra savestate.\rFilesize is too large.");
}
