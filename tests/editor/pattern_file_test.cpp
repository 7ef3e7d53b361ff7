#include "model/editor/pattern_file.h"
#include "support/expect_message.h"

#include "model/core/mode_table.h"
#include "model/core/program_state.h"
#include "model/core/rom_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Addresses that differ from pattern to pattern and use every byte.
AddressPattern NumberedPattern(const std::string& description, int seed)
{
    AddressPattern pattern;
    pattern.Description = description;
    for (int i = 0; i < EditorSlotCount; ++i)
        pattern.Addresses[i] = i % 5 == 0 ? EmptySlot : (seed << 24) + i * 0x10203 + seed;
    return pattern;
}

PatternList ListOf(int count)
{
    PatternList list;
    for (int i = 0; i < count; ++i)
        list.Patterns[i] = NumberedPattern("P" + std::to_string(i), i);
    list.PatternCount = static_cast<std::int16_t>(count);
    return list;
}

// A record written out by hand, byte by byte.
void AppendRecord(Bytes& bytes, const std::string& description, const std::array<std::int32_t, 256>& addresses)
{
    bytes.insert(bytes.end(), description.begin(), description.end());
    bytes.push_back(0);
    for (const std::int32_t address : addresses) {
        const auto value = static_cast<std::uint32_t>(address < 0 ? -1 : address);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

const Bytes Magic{'B', 'X', 'A'};

}  // namespace

// --- The list: add, delete, rename ---

TEST(PatternList, AddCapturesTheEditorAddressesWithUnboundCellsAsEmpty)
{
    EditorSlotTable slots{};
    slots[0].Address = 0;
    slots[1].Address = 4096;
    slots[2].Address = UnboundTile;
    slots[255].Address = 0x7FFFFFFF;
    PatternList list;

    ASSERT_TRUE(AddPattern(list, slots, "level 1"));
    ASSERT_EQ(list.PatternCount, 1);
    const AddressPattern& pattern = list.Patterns[0];
    EXPECT_EQ(pattern.Description, "level 1");
    EXPECT_EQ(pattern.Addresses[0], 0);
    EXPECT_EQ(pattern.Addresses[1], 4096);
    EXPECT_EQ(pattern.Addresses[2], EmptySlot);
    EXPECT_EQ(pattern.Addresses[3], EmptySlot);
    EXPECT_EQ(pattern.Addresses[255], 0x7FFFFFFF);

    ASSERT_TRUE(AddPattern(list, slots, ""));
    EXPECT_EQ(list.PatternCount, 2);
    EXPECT_EQ(list.Patterns[1].Description, "No description");
}

TEST(PatternList, AddStopsAtSixtyThree)
{
    PatternList list;
    const EditorSlotTable slots{};
    for (int i = 0; i < 63; ++i)
        ASSERT_TRUE(AddPattern(list, slots, "x")) << i;
    EXPECT_FALSE(AddPattern(list, slots, "one more"));
    EXPECT_EQ(list.PatternCount, 63);
    EXPECT_TRUE(list.Patterns[63].Description.empty());
}

TEST(PatternList, DeleteMovesTheLaterPatternsDown)
{
    PatternList list = ListOf(4);
    ASSERT_TRUE(DeletePattern(list, 1));
    ASSERT_EQ(list.PatternCount, 3);
    EXPECT_EQ(list.Patterns[0].Description, "P0");
    EXPECT_EQ(list.Patterns[1].Description, "P2");
    EXPECT_EQ(list.Patterns[1].Addresses, NumberedPattern("", 2).Addresses);
    EXPECT_EQ(list.Patterns[2].Description, "P3");
    EXPECT_EQ(list.Patterns[2].Addresses, NumberedPattern("", 3).Addresses);

    ASSERT_TRUE(DeletePattern(list, 2));  // the last one
    EXPECT_EQ(list.PatternCount, 2);
    EXPECT_EQ(list.Patterns[1].Description, "P2");
    EXPECT_FALSE(DeletePattern(list, 2));
    EXPECT_FALSE(DeletePattern(list, -1));
    EXPECT_EQ(list.PatternCount, 2);
}

TEST(PatternList, RenameKeepsAnEmptyText)
{
    PatternList list = ListOf(2);
    ASSERT_TRUE(RenamePattern(list, 1, "boss room"));
    EXPECT_EQ(list.Patterns[1].Description, "boss room");
    ASSERT_TRUE(RenamePattern(list, 0, ""));
    EXPECT_EQ(list.Patterns[0].Description, "");
    EXPECT_EQ(list.Patterns[0].Addresses, NumberedPattern("", 0).Addresses);
    EXPECT_FALSE(RenamePattern(list, 2, "not in use"));
    EXPECT_TRUE(list.Patterns[2].Description.empty());
}

// --- The ".eap" format ---

TEST(PatternFile, OnePatternWithAOneCharacterDescriptionIs1029Bytes)
{
    PatternList list;
    list.Patterns[0].Description = "A";
    list.Patterns[0].Addresses.fill(EmptySlot);
    list.Patterns[0].Addresses[0] = 0x01020304;
    list.Patterns[0].Addresses[1] = UnboundTile;
    list.Patterns[0].Addresses[255] = 0x7FFFFFFF;
    list.PatternCount = 1;

    const Bytes bytes = BuildPatternFile(list);
    ASSERT_EQ(bytes.size(), 1029u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 5), (Bytes{'B', 'X', 'A', 'A', 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 5, bytes.begin() + 9), (Bytes{0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(Bytes(bytes.begin() + 9, bytes.begin() + 13), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(bytes.begin() + 13, bytes.begin() + 17), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(PatternFile, SaveThenLoadGivesBackDescriptionsAndAddresses)
{
    PatternList list = ListOf(5);
    list.Patterns[2].Description = "";
    list.Patterns[3].Description = "caf\xE9";                 // single-byte characters go through as they are
    list.Patterns[1].Description = std::string("ab\0cd", 5);  // a 0 byte would end it on reading
    list.Patterns[4].Addresses[7] = UnboundTile;

    const PatternLoad load = ReadPatternFile(BuildPatternFile(list));
    EXPECT_FALSE(load.WrongMagic);
    EXPECT_FALSE(load.Error);
    ASSERT_EQ(load.Patterns.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(load.Patterns[i].Description, list.Patterns[i].Description.c_str()) << i;
        for (int slot = 0; slot < EditorSlotCount; ++slot) {
            const std::int32_t written = list.Patterns[i].Addresses[slot];
            EXPECT_EQ(load.Patterns[i].Addresses[slot], written < 0 ? EmptySlot : written) << i << " " << slot;
        }
    }
}

TEST(PatternFile, AnAddressWithTheTopBitSetReadsAsEmptySlot)
{
    std::array<std::int32_t, 256> addresses{};
    Bytes bytes = Magic;
    AppendRecord(bytes, "", addresses);
    const std::size_t first = 3 + 1;
    const Bytes fields[] = {
        {0x12, 0x34, 0x56, 0x7F},  // 0x7F563412
        {0x00, 0x00, 0x00, 0x80},  // top bit alone
        {0x05, 0x00, 0x00, 0xFE},  // another negative number
        {0xFF, 0xFF, 0xFF, 0x00},  // 16777215
    };
    for (std::size_t f = 0; f < 4; ++f)
        std::copy(fields[f].begin(), fields[f].end(), bytes.begin() + static_cast<std::ptrdiff_t>(first + 4 * f));

    const PatternLoad load = ReadPatternFile(bytes);
    ASSERT_EQ(load.Patterns.size(), 1u);
    EXPECT_EQ(load.Patterns[0].Addresses[0], 0x7F563412);
    EXPECT_EQ(load.Patterns[0].Addresses[1], EmptySlot);
    EXPECT_EQ(load.Patterns[0].Addresses[2], EmptySlot);
    EXPECT_EQ(load.Patterns[0].Addresses[3], 16777215);
    EXPECT_EQ(load.Patterns[0].Addresses[4], 0);
}

TEST(PatternFile, SixtyFourRecordsLoadAndAddThenRefuses)
{
    Bytes bytes = Magic;
    for (int i = 0; i < 65; ++i)
        AppendRecord(bytes, "R" + std::to_string(i), NumberedPattern("", i).Addresses);

    const PatternLoad load = ReadPatternFile(bytes);
    ASSERT_EQ(load.Patterns.size(), 64u);  // the 65th is not read
    EXPECT_EQ(load.Patterns[63].Description, "R63");

    PatternList list = ListOf(3);
    StoreLoadedPatterns(list, load);
    ASSERT_EQ(list.PatternCount, 64);
    EXPECT_EQ(list.Patterns[0].Description, "R0");
    EXPECT_EQ(list.Patterns[63].Addresses, NumberedPattern("", 63).Addresses);

    const EditorSlotTable slots{};
    EXPECT_FALSE(AddPattern(list, slots, "more"));
    ASSERT_TRUE(DeletePattern(list, 0));
    EXPECT_FALSE(AddPattern(list, slots, "more"));  // 63 still refuses
    ASSERT_TRUE(DeletePattern(list, 0));
    EXPECT_TRUE(AddPattern(list, slots, "more"));
    EXPECT_EQ(list.PatternCount, 63);
    EXPECT_EQ(list.Patterns[62].Description, "more");
}

TEST(PatternFile, ATruncatedFileKeepsTheCompleteRecords)
{
    const Bytes whole = BuildPatternFile(ListOf(3));
    const std::size_t twoRecords = 3 + 2 * (3 + 1024);  // "P0", "P1"
    ASSERT_EQ(whole.size(), twoRecords + 3 + 1024);

    // Cut inside the third record's addresses, inside its description, and
    // right after the second record.
    for (const std::size_t cut : {whole.size() - 1, twoRecords + 3 + 512, twoRecords + 2, twoRecords}) {
        const PatternLoad load = ReadPatternFile(Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
        EXPECT_FALSE(load.WrongMagic) << cut;
        ASSERT_EQ(load.Patterns.size(), 2u) << cut;
        EXPECT_EQ(load.Patterns[1].Description, "P1");
        EXPECT_EQ(load.Patterns[1].Addresses, NumberedPattern("", 1).Addresses);
    }
    EXPECT_TRUE(ReadPatternFile(Bytes(whole.begin(), whole.begin() + 1028)).Patterns.empty());
    EXPECT_TRUE(ReadPatternFile(Magic).Patterns.empty());
    EXPECT_FALSE(ReadPatternFile(Magic).WrongMagic);
}

TEST(PatternFile, AnotherMagicOrAShortFileIsRefused)
{
    for (const Bytes& bytes : {Bytes{}, Bytes{'B', 'X'}, Bytes{'B', 'X', 'P'}, Bytes{'b', 'x', 'a', 0}}) {
        const PatternLoad load = ReadPatternFile(bytes);
        EXPECT_TRUE(load.WrongMagic) << bytes.size();
        EXPECT_TRUE(load.Patterns.empty());
    }
}

// --- Loading and saving files ---

TEST(PatternFile, LoadFromDiskAndItsMessages)
{
    TempDir dir;
    const std::string good = dir.WriteFile("good.eap", BuildPatternFile(ListOf(2)));
    const PatternLoad load = LoadPatternFile(good);
    EXPECT_FALSE(load.Error);
    ASSERT_EQ(load.Patterns.size(), 2u);
    EXPECT_EQ(load.Patterns[1].Description, "P1");

    ExpectMessage(LoadPatternFile((dir.Path() / "missing.eap").string()).Error, "Could not find the selected file.",
                  "Loading process aborted", MsgIcon::None);
    ExpectMessage(LoadPatternFile(dir.Path().string()).Error, "Could not read the selected file.",
                  "Loading process aborted", MsgIcon::Critical);

    const PatternLoad wrong = LoadPatternFile(dir.WriteFile("bad.eap", {'B', 'X', 'P', 0}));
    EXPECT_TRUE(wrong.WrongMagic);
    ExpectMessage(wrong.Error, "Wrong header bytes", "Not an editor address pattern file", MsgIcon::Critical);

    // A missing file leaves the list alone; a wrong magic empties it.
    PatternList list = ListOf(3);
    StoreLoadedPatterns(list, LoadPatternFile((dir.Path() / "missing.eap").string()));
    EXPECT_EQ(list.PatternCount, 3);
    StoreLoadedPatterns(list, wrong);
    EXPECT_EQ(list.PatternCount, 0);
}

TEST(PatternFile, SaveWritesTheFileAndReportsAFailure)
{
    TempDir dir;
    const std::string path = (dir.Path() / "set.eap").string();
    const PatternList list = ListOf(2);
    EXPECT_FALSE(SavePatternFile(path, list));
    EXPECT_EQ(ReadWholeFile(path), BuildPatternFile(list));

    const std::string unreachable = (dir.Path() / "no such folder" / "set.eap").string();
    const auto failure = SavePatternFile(unreachable, list);
    ASSERT_TRUE(failure.has_value());
    const std::string start = "Could not save the editor address pattern file '" + unreachable + "': ";
    EXPECT_EQ(failure->Text.substr(0, start.size()), start);
    EXPECT_EQ(failure->Text.back(), '.');
    EXPECT_EQ(failure->Caption, "Saving failed");
    EXPECT_EQ(failure->Icon, MsgIcon::Critical);
    EXPECT_FALSE(std::filesystem::exists(unreachable));
}

// --- Applying a pattern to the editor ---

class PatternApply : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitState(state);
        state.CurrentMode = ModeGba8bpp;  // one byte per pixel: tile at a holds a, a+1, ...
        ASSERT_TRUE(OpenRomInState(state, dir.WriteFile("game.gba", CountingBytes(4096))).Opened);
        for (int i = 0; i < EditorSlotCount; ++i) {
            state.EditorSlots[i].Address = UnboundTile;
            state.EditorSlots[i].Pixels.fill(static_cast<std::uint8_t>(200 + i % 50));
        }
        pattern.Addresses.fill(EmptySlot);
        pattern.Addresses[0] = 64;
        pattern.Addresses[17] = 1000;
        pattern.Addresses[255] = 0;
    }

    TempDir dir;
    ProgramState state;
    AddressPattern pattern;
};

TEST_F(PatternApply, ReloadReadsEveryAddressAndBlanksTheRest)
{
    ApplyPattern(state, pattern, true);
    for (int i = 0; i < EditorSlotCount; ++i)
        EXPECT_EQ(state.EditorSlots[i].Address, pattern.Addresses[i]) << i;
    for (int k = 0; k < 64; ++k) {
        EXPECT_EQ(state.EditorSlots[0].Pixels[k], 64 + k);
        EXPECT_EQ(state.EditorSlots[17].Pixels[k], (1000 + k) & 0xFF);
        EXPECT_EQ(state.EditorSlots[255].Pixels[k], k);
        EXPECT_EQ(state.EditorSlots[1].Pixels[k], 0);
        EXPECT_EQ(state.EditorSlots[254].Pixels[k], 0);
    }
}

TEST_F(PatternApply, WithoutReloadOnlyTheAddressesChange)
{
    ApplyPattern(state, pattern, false);
    for (int i = 0; i < EditorSlotCount; ++i) {
        EXPECT_EQ(state.EditorSlots[i].Address, pattern.Addresses[i]) << i;
        TilePixels kept{};
        kept.fill(static_cast<std::uint8_t>(200 + i % 50));
        EXPECT_EQ(state.EditorSlots[i].Pixels, kept) << i;
    }
}
