#include "model/core/byte_order.h"
#include "model/palette/palette_files.h"
#include "model/palette/savestates.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint16_t BackgroundWord(std::uint32_t i)
{
    return static_cast<std::uint16_t>(0x7FFF - i * 0x421);
}
std::uint16_t ObjectWord(std::uint32_t i)
{
    return static_cast<std::uint16_t>(i * 0x0C63 + 1);
}

// A state with a BESS footer, from the format's description: both palettes
// in a native part of 0x300 bytes, then NAME, XOAM, CORE and END blocks,
// the offset of NAME and the magic. Each field is one way to break it.
struct Bess {
    std::uint32_t Bg = 0x200, Obj = 0x100, BgSize = 0x40, ObjSize = 0x40, Core = 0xD0, CoreExtra = 0, First = 0x300;
    std::uint16_t Major = 1;
    std::string Model = "CCE ", Magic = "BESS", BeforeCore = "XOAM";

    Bytes Build() const
    {
        Bytes f(0x300, 0xA5);
        for (std::uint32_t i = 0; i < 32; ++i) {
            if (std::uint64_t{Bg} + 64 <= f.size())
                WriteLe16(&f[Bg + 2 * i], BackgroundWord(i));
            if (std::uint64_t{Obj} + 64 <= f.size())
                WriteLe16(&f[Obj + 2 * i], ObjectWord(i));
        }
        const auto block = [&](const std::string& id, std::uint32_t size, std::uint32_t told) {
            const std::size_t at = f.size();
            f.resize(at + 8 + size);
            std::memcpy(&f[at], id.data(), 4);
            WriteLe32(&f[at + 4], told);
            return at + 8;
        };
        block("NAME", 7, 7);
        block(BeforeCore, 0x60, 0x60);
        const std::size_t core = block("CORE", Core, Core + CoreExtra);  // CoreExtra: told past the footer
        if (Core >= 0xD0) {
            WriteLe16(&f[core], Major);
            std::memcpy(&f[core + 4], Model.data(), 4);
            for (const auto& [at, value] : {std::pair{0xC0, BgSize}, {0xC4, Bg}, {0xC8, ObjSize}, {0xCC, Obj}})
                WriteLe32(&f[core + at], value);
        }
        block("END ", 0, 0);
        f.resize(f.size() + 8);
        WriteLe32(&f[f.size() - 8], First);
        std::memcpy(&f[f.size() - 4], Magic.data(), 4);
        return f;
    }
};

constexpr std::uint32_t BessSize = 0x300 + 15 + 0x68 + 0xD8 + 8 + 8;

PaletteLoad Load(const Bytes& bytes)
{
    static const TempDir dir;
    return LoadPaletteFile(dir.WriteFile("state.s0", bytes), BessSavestate, {});
}

}  // namespace

TEST(BessSavestate, ReadsBackgroundThenObjectWordsWhereTheCoreBlockSays)
{
    const PaletteLoad load = Load(Bess{}.Build());

    ASSERT_FALSE(load.Error.has_value()) << load.Error->Text;
    ASSERT_EQ(load.Sets.size(), 2u);
    EXPECT_EQ(load.Sets[0].Description, "BESS BG palette");
    EXPECT_EQ(load.Sets[1].Description, "BESS OBJ palette");
    EXPECT_EQ(load.Sets[1].Colors[1], MakePackedColor(32, 24, 24));  // 0x0C64: red in the low bits
    for (std::uint32_t i = 0; i < 32; ++i) {
        const std::uint16_t bg = BackgroundWord(i);
        EXPECT_EQ(load.Sets[0].Colors[i], MakePackedColor((bg & 31) * 8, (bg >> 5 & 31) * 8, (bg >> 10) * 8)) << i;
    }
    for (std::size_t i = 32; i < 256; ++i)
        EXPECT_EQ(load.Sets[0].Colors[i] | load.Sets[1].Colors[i], 0u) << i;
}

TEST(BessSavestate, RefusesBrokenFootersBlocksModelsAndPalettes)
{
    const std::string footer = "Not a BESS savestate.\rThe file has no valid BESS footer.";
    const std::string cgb = "Not a Game Boy Color savestate.\rThe BESS model must be CGB.";
    const std::string size = "Not a Game Boy Color savestate.\rThe palette sizes must be 64 bytes.";
    const std::string outside = "Not a BESS savestate.\rA palette offset lies outside the file.";
    const struct {
        std::function<void(Bess&)> Change;
        std::string Message;  // empty: accepted
    } cases[] = {
        {[](Bess& b) { b.Magic = "BESs"; }, footer},
        {[](Bess& b) { b.First = BessSize - 15; }, footer},
        {[](Bess& b) { b.CoreExtra = 16; }, footer},
        {[](Bess& b) { b.BeforeCore = "END "; }, footer},
        {[](Bess& b) { b.Core = 0xCF; }, "Not a BESS savestate.\rIts CORE block is too short."},
        {[](Bess& b) { b.Major = 2; }, "Not a BESS savestate.\rIts major version must be 1."},
        {[](Bess& b) { b.Model = "GD  "; }, cgb},
        {[](Bess& b) { b.Model = "S   "; }, cgb},
        {[](Bess& b) { b.Model = "C   "; }, ""},
        {[](Bess& b) { b.BgSize = 0; }, size},
        {[](Bess& b) { b.ObjSize = 0x3F; }, size},
        {[](Bess& b) { b.Bg = 0xFFFFFFFF; }, outside},
        {[](Bess& b) { b.Obj = BessSize - 63; }, outside},
        {[](Bess& b) { b.Obj = BessSize - 64; }, ""},  // over the footer, yet in the file
    };
    for (const auto& c : cases) {
        Bess state;
        c.Change(state);
        const PaletteLoad load = Load(state.Build());
        EXPECT_EQ(load.Error ? load.Error->Text : "", c.Message);
        EXPECT_EQ(load.Sets.size(), c.Message.empty() ? 2u : 0u) << c.Message;
        if (load.Error) {
            EXPECT_EQ(load.Error->Caption, "Brixel");
        }
    }
    for (const std::size_t length : {0u, 7u})
        EXPECT_EQ(Load(Bytes(length, 'B')).Error->Text, footer) << length;
}
