#include "model/core/byte_order.h"
#include "model/palette/palette_files.h"
#include "model/palette/savestates.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The pieces of a savestate with a BESS footer, written from the format's
// description: a native part holding both palettes, then NAME, an unknown
// block, CORE and END, then the offset of NAME and "BESS".
struct BessFile {
    std::uint32_t NativeSize = 0x300;
    std::uint32_t BackgroundOffset = 0x200;  // after the objects, so swapped offsets show
    std::uint32_t ObjectOffset = 0x100;
    std::uint32_t BackgroundSize = 0x40;
    std::uint32_t ObjectSize = 0x40;
    std::uint16_t Major = 1;
    char Model[5] = "CCE ";
    std::uint32_t CoreLength = 0xD0;
    std::int64_t FirstBlockShift = 0;  // added to the footer's offset
    bool EndBeforeCore = false;
    std::uint32_t ClaimedXoamLength = 0x60;
    char Magic[5] = "BESS";

    Bytes Build() const
    {
        Bytes file(NativeSize, 0xA5);
        for (std::size_t i = 0; i < 32; ++i) {
            if (std::uint64_t{BackgroundOffset} + 64 <= NativeSize)
                WriteLe16(file.data() + BackgroundOffset + 2 * i, static_cast<std::uint16_t>(0x7FFF - i * 0x421));
            if (std::uint64_t{ObjectOffset} + 64 <= NativeSize)
                WriteLe16(file.data() + ObjectOffset + 2 * i, static_cast<std::uint16_t>(i * 0x0C63 + 1));
        }
        const auto block = [&](const char* id, std::uint32_t length, std::uint32_t claimed) {
            const std::size_t at = file.size();
            file.resize(at + 8 + length, 0);
            std::memcpy(file.data() + at, id, 4);
            WriteLe32(file.data() + at + 4, claimed);
            return at + 8;
        };
        const auto first = static_cast<std::uint32_t>(file.size() + FirstBlockShift);
        block("NAME", 7, 7);
        block("XOAM", 0x60, ClaimedXoamLength);
        if (EndBeforeCore)
            block("END ", 0, 0);
        const std::size_t core = block("CORE", CoreLength, CoreLength);
        if (CoreLength >= 0xD0) {
            WriteLe16(file.data() + core, Major);
            std::memcpy(file.data() + core + 4, Model, 4);
            WriteLe32(file.data() + core + 0xC0, BackgroundSize);
            WriteLe32(file.data() + core + 0xC4, BackgroundOffset);
            WriteLe32(file.data() + core + 0xC8, ObjectSize);
            WriteLe32(file.data() + core + 0xCC, ObjectOffset);
        }
        block("END ", 0, 0);
        file.resize(file.size() + 8);
        WriteLe32(file.data() + file.size() - 8, first);
        std::memcpy(file.data() + file.size() - 4, Magic, 4);
        return file;
    }
};

PackedColor GbcColor(std::uint16_t word)
{
    return MakePackedColor((word & 31) * 8, ((word >> 5) & 31) * 8, ((word >> 10) & 31) * 8);
}

class BessSavestateTest : public ::testing::Test {
protected:
    PaletteLoad Load(const Bytes& bytes)
    {
        return LoadPaletteFile(dir_.WriteFile("state" + std::to_string(files_++) + ".s0", bytes), BessSavestate, {});
    }

    TempDir dir_;
    int files_ = 0;
};

}  // namespace

TEST_F(BessSavestateTest, ReadsBackgroundThenObjectColorsWhereCoreSays)
{
    const PaletteLoad load = Load(BessFile{}.Build());

    ASSERT_FALSE(load.Error.has_value()) << load.Error->Text;
    ASSERT_EQ(load.Sets.size(), 2u);
    EXPECT_EQ(load.Sets[0].Description, "BESS BG palette");
    EXPECT_EQ(load.Sets[1].Description, "BESS OBJ palette");
    EXPECT_EQ(load.Sets[0].Colors[0], MakePackedColor(248, 248, 248));
    EXPECT_EQ(load.Sets[1].Colors[1], MakePackedColor(32, 24, 24));  // 0x0C64: red is the low bits
    for (std::uint16_t i = 0; i < 32; ++i) {
        EXPECT_EQ(load.Sets[0].Colors[i], GbcColor(static_cast<std::uint16_t>(0x7FFF - i * 0x421))) << i;
        EXPECT_EQ(load.Sets[1].Colors[i], GbcColor(static_cast<std::uint16_t>(i * 0x0C63 + 1))) << i;
    }
    for (std::size_t i = 32; i < 256; ++i)
        EXPECT_EQ(load.Sets[0].Colors[i] | load.Sets[1].Colors[i], 0u) << i;
}

TEST_F(BessSavestateTest, RefusesBrokenFootersBlocksAndModels)
{
    const std::string noFooter = "Not a BESS savestate.\rThe file has no valid BESS footer.";
    const std::string notCgb = "Not a Game Boy Color savestate.\rThe BESS model must be CGB.";
    const std::string outside = "Not a BESS savestate.\rA palette offset lies outside the file.";
    const struct {
        const char* Name;
        std::function<void(BessFile&)> Change;
        std::string Message;
    } cases[] = {
        {"magic", [](BessFile& f) { std::memcpy(f.Magic, "BESs", 4); }, noFooter},
        {"first block past the footer", [](BessFile& f) { f.FirstBlockShift = 0x200; }, noFooter},
        {"block past the footer", [](BessFile& f) { f.ClaimedXoamLength = 0x10000; }, noFooter},
        {"END before CORE", [](BessFile& f) { f.EndBeforeCore = true; }, noFooter},
        {"short CORE", [](BessFile& f) { f.CoreLength = 0xCF; }, "Not a BESS savestate.\rIts CORE block is too short."},
        {"major 2", [](BessFile& f) { f.Major = 2; }, "Not a BESS savestate.\rIts major version must be 1."},
        {"DMG", [](BessFile& f) { std::memcpy(f.Model, "GD  ", 4); }, notCgb},
        {"SGB", [](BessFile& f) { std::memcpy(f.Model, "S   ", 4); }, notCgb},
        {"no background palette", [](BessFile& f) { f.BackgroundSize = 0; },
         "Not a Game Boy Color savestate.\rThe palette sizes must be 64 bytes."},
        {"short object palette", [](BessFile& f) { f.ObjectSize = 0x3F; },
         "Not a Game Boy Color savestate.\rThe palette sizes must be 64 bytes."},
        {"background offset huge", [](BessFile& f) { f.BackgroundOffset = 0xFFFFFFFF; }, outside},
    };
    for (const auto& c : cases) {
        BessFile file;
        c.Change(file);
        const PaletteLoad load = Load(file.Build());
        ASSERT_TRUE(load.Error.has_value()) << c.Name;
        EXPECT_EQ(load.Error->Text, c.Message) << c.Name;
        EXPECT_EQ(load.Error->Caption, "Brixel") << c.Name;
        EXPECT_EQ(load.Error->Icon, MsgIcon::None) << c.Name;
        EXPECT_TRUE(load.Sets.empty()) << c.Name;
    }
    for (const std::size_t size : {0u, 7u})
        EXPECT_EQ(Load(Bytes(size, 'B')).Error->Text, noFooter) << size;
}

TEST_F(BessSavestateTest, AnObjectPaletteEndingAtTheFileEndIsReadOneByteFurtherIsRefused)
{
    const std::uint32_t size = static_cast<std::uint32_t>(BessFile{}.Build().size());
    BessFile last;
    last.ObjectOffset = size - 64;  // overlaps the footer, yet lies in the file
    EXPECT_FALSE(Load(last.Build()).Error.has_value());
    last.ObjectOffset = size - 63;
    EXPECT_EQ(Load(last.Build()).Error->Text, "Not a BESS savestate.\rA palette offset lies outside the file.");
}
