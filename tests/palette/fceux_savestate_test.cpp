#include "model/core/byte_order.h"
#include "model/palette/palette_files.h"
#include "model/palette/savestates.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

using Bytes = std::vector<std::uint8_t>;

// An uncompressed FCE Ultra state from the format's description: the
// 16-byte header, a CPU section, then the PPU section with name table,
// palette (bytes 3, 8, 13, ...) and sprite chunks. Each field is one way
// to break it.
struct Fcs {
    std::string Magic = "FCS", PaletteName = "PRAM";
    std::uint32_t PaletteSize = 32, SpritesTold = 8;
    std::uint8_t PpuKind = 3;
    int PpuSizeChange = 0;

    Bytes Build() const
    {
        Bytes f(16);
        std::memcpy(f.data(), Magic.data(), 3);
        const auto chunk = [&](const std::string& name, std::uint32_t size, std::uint32_t told) {
            const std::size_t at = f.size();
            f.resize(at + 8 + size);
            std::memcpy(&f[at], name.data(), 4);
            WriteLe32(&f[at + 4], told);
            for (std::uint32_t i = 0; i < size; ++i)
                f[at + 8 + i] = static_cast<std::uint8_t>(3 + 5 * i);
        };
        f.insert(f.end(), {1, 15, 0, 0, 0});
        chunk("PC\0\0", 2, 2);
        const std::size_t ppu = f.size();
        f.insert(f.end(), {PpuKind, 0, 0, 0, 0});
        chunk("NTAR", 24, 24);
        chunk(PaletteName, PaletteSize, PaletteSize);
        chunk("SPRA", 8, SpritesTold);
        WriteLe32(&f[ppu + 1], static_cast<std::uint32_t>(static_cast<int>(f.size() - ppu) + PpuSizeChange));
        return f;
    }
};

class FceuxSavestateFile : public ::testing::Test {
protected:
    std::string Write(const Bytes& bytes) { return dir_.WriteFile("state.fc0", bytes); }
    PaletteLoad Load(const std::string& path) { return LoadPaletteFile(path, FceuxSavestate, nes_); }

    TempDir dir_;
    NesColorTable nes_ = [] {
        NesColorTable colors{};
        for (int i = 0; i < 64; ++i)
            colors[static_cast<std::size_t>(i)] = MakePackedColor(i, 2 * i, 3 * i);
        return colors;
    }();
};

}  // namespace

TEST_F(FceuxSavestateFile, ReadsThePpuPaletteChunkThroughTheNesColors)
{
    const PaletteLoad load = Load(Write(Fcs{}.Build()));

    ASSERT_FALSE(load.Error.has_value()) << load.Error->Text;
    ASSERT_EQ(load.Sets.size(), 1u);
    EXPECT_EQ(load.Sets[0].Description, "FCEUX FCS palette");
    EXPECT_EQ(load.Sets[0].Colors[13], MakePackedColor(4, 8, 12));  // 68 wraps to 4
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_EQ(load.Sets[0].Colors[i], i < 32 ? nes_[(3 + i * 5) % 64] : 0u) << i;
}

TEST_F(FceuxSavestateFile, RefusesWrongHeadersSizesAndWalksThatFindNoPalette)
{
    const std::string none = "Not an uncompressed FCE Ultra savestate.\rNo PPU palette was found.";
    const struct {
        std::function<void(Fcs&)> Change;
        std::string Message;
    } cases[] = {
        {[](Fcs& s) { s.Magic = "FCX"; }, "Not an FCE Ultra savestate.\rWrong header bytes."},
        {[](Fcs& s) { s.PpuKind = 4; }, none},
        {[](Fcs& s) { s.PaletteName = "PRAN"; }, none},
        {[](Fcs& s) { s.PaletteSize = 31; }, none},
        {[](Fcs& s) { s.PpuSizeChange = 1; }, none},
        {[](Fcs& s) { s.PpuSizeChange = -17; }, none},  // cuts the last palette byte
        {[](Fcs& s) {
             s.PaletteName = "PRAX";
             s.SpritesTold = 9;
         },
         none},
    };
    for (const auto& c : cases) {
        Fcs state;
        c.Change(state);
        const PaletteLoad load = Load(Write(state.Build()));
        ASSERT_TRUE(load.Error.has_value()) << c.Message;
        EXPECT_EQ(load.Error->Text, c.Message);
        EXPECT_EQ(load.Error->Caption, "Brixel");
        EXPECT_TRUE(load.Sets.empty());
    }
    EXPECT_EQ(Load(Write({'F', 'C', 'S', 0})).Error->Text, "Not an FCE Ultra savestate.\rFilesize is too small.");
    const std::string large = Write(Fcs{}.Build());
    std::filesystem::resize_file(large, 4 << 20);
    EXPECT_FALSE(Load(large).Error.has_value());
    std::filesystem::resize_file(large, (4 << 20) + 1);
    EXPECT_EQ(Load(large).Error->Text, "Not an FCE Ultra savestate.\rFilesize is too large.");
}
