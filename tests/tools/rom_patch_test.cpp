// IPS and BPS patches of the ROM's changes, made and applied. Every patch is
// checked against the appliers of reference_patch.cpp, written from the
// format descriptions alone.
#include "model/core/rom_file.h"
#include "model/tools/bps_number.h"
#include "model/tools/bps_patch.h"
#include "model/tools/crc_changes.h"
#include "model/tools/ips_patch.h"
#include "model/tools/patch_messages.h"
#include "model/tools/rom_patch.h"
#include "support/temp_dir.h"
#include "tools/reference_patch.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const char* text)
{
    return Bytes(text, text + std::char_traits<char>::length(text));
}

Bytes Joined(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Le32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// A BPS patch with its three checksums, from a header and actions.
Bytes WithBpsFooter(Bytes body, const Bytes& source, const Bytes& target)
{
    body = Joined({body, Le32(ReferenceCrc32(source, source.size())), Le32(ReferenceCrc32(target, target.size()))});
    return Joined({body, Le32(ReferenceCrc32(body, body.size()))});
}

// A ROM on disk that records its original bytes as it is changed, as the
// write path does.
struct EditedRom {
    EditedRom(const TempDir& dir, const Bytes& original) : Original(original), Current(original)
    {
        path = dir.WriteFile("edited.bin", original);
        EXPECT_TRUE(File.Open(path).Opened());
    }

    void Change(std::int64_t offset, std::uint8_t value)
    {
        Originals.Record(offset, Original[static_cast<std::size_t>(offset)]);
        Current[static_cast<std::size_t>(offset)] = value;
        ASSERT_TRUE(File.WriteAt(offset, &value, 1));
    }

    // Bytes that certainly differ from what is there.
    void ChangeRun(std::int64_t offset, std::size_t size)
    {
        Bytes run(size);
        for (std::size_t i = 0; i < size; ++i) {
            const auto at = static_cast<std::size_t>(offset) + i;
            Originals.Record(static_cast<std::int64_t>(at), Original[at]);
            run[i] = Current[at] = static_cast<std::uint8_t>(Original[at] ^ (1 + i % 255));
        }
        ASSERT_TRUE(File.WriteAt(offset, run.data(), run.size()));
    }

    Bytes Original;
    Bytes Current;
    OriginalByteMap Originals;
    RomFile File;
    std::string path;
};

// The patch applied by the program to a fresh copy of the original: the file
// afterwards, or the refusal.
struct Applied {
    PatchWrites Result;
    Bytes File;
};

Applied ApplyToCopy(const TempDir& dir, const Bytes& original, const Bytes& patch)
{
    RomFile file;
    const std::string path = dir.WriteFile("copy.bin", original);
    EXPECT_TRUE(file.Open(path).Opened());
    Applied applied{ApplyPatch(file, patch.data(), patch.size()), {}};
    for (const PatchWrite& write : applied.Result.Writes)
        EXPECT_TRUE(file.WriteAt(write.Offset, write.Bytes.data(), write.Bytes.size()));
    applied.File = ReadWholeFile(path);
    return applied;
}

// The writes hold only bytes that differ from the file before, in ascending,
// separate runs.
void ExpectMinimalWrites(const PatchWrites& result, const Bytes& before)
{
    std::int64_t previousEnd = -1;
    for (const PatchWrite& write : result.Writes) {
        EXPECT_GT(write.Offset, previousEnd);
        for (std::size_t i = 0; i < write.Bytes.size(); ++i)
            EXPECT_NE(write.Bytes[i], before[static_cast<std::size_t>(write.Offset) + i]);
        previousEnd = write.Offset + static_cast<std::int64_t>(write.Bytes.size());
    }
}

Bytes Made(const PatchFile& patch)
{
    EXPECT_TRUE(patch.Made()) << patch.Refusal;
    return patch.Bytes;
}

}  // namespace

TEST(BpsNumber, EncodesEachGroupAfterTheFirstOneLess)
{
    const std::pair<std::uint64_t, Bytes> cases[] = {
        {0, {0x80}},
        {1, {0x81}},
        {127, {0xFF}},
        {128, {0x00, 0x80}},
        {129, {0x01, 0x80}},
        {16511, {0x7F, 0xFF}},
        {16512, {0x00, 0x00, 0x80}},
    };
    for (const auto& [value, bytes] : cases) {
        Bytes encoded;
        AppendBpsNumber(encoded, value);
        EXPECT_EQ(encoded, bytes) << value;
        std::size_t position = 0;
        EXPECT_EQ(ReadBpsNumber(bytes.data(), bytes.size(), position), value);
        EXPECT_EQ(position, bytes.size());
    }
    std::size_t position = 0;
    const Bytes cut = {0x00, 0x00};
    EXPECT_FALSE(ReadBpsNumber(cut.data(), cut.size(), position));
    const Bytes nineBytes = {0, 0, 0, 0, 0, 0, 0, 0, 0x80};
    position = 0;
    EXPECT_FALSE(ReadBpsNumber(nineBytes.data(), nineBytes.size(), position));
}

TEST(RomPatch, TinyPatchesHaveTheFormatsBytes)
{
    TempDir dir;
    EditedRom rom(dir, {0, 1, 2, 3, 4, 5, 6, 7});
    rom.Change(2, 0xAA);
    rom.Change(3, 0xBB);
    rom.Change(5, 5);  // written back to its original value: no change

    EXPECT_EQ(Made(IpsPatchFormat.Build(rom.File, rom.Originals)),
              Joined({Text("PATCH"), {0x00, 0x00, 0x02, 0x00, 0x02, 0xAA, 0xBB}, Text("EOF")}));

    // Sizes 8, 8, metadata 0; SourceRead 2, TargetRead 2, SourceRead 4.
    const Bytes body = Joined({Text("BPS1"), {0x88, 0x88, 0x80, 0x84, 0x85, 0xAA, 0xBB, 0x8C}});
    EXPECT_EQ(Made(BpsPatchFormat.Build(rom.File, rom.Originals)), WithBpsFooter(body, rom.Original, rom.Current));
}

TEST(RomPatch, RandomChangesRoundTripThroughBothFormats)
{
    TempDir dir;
    EditedRom rom(dir, RandomBytes(300000, 7));
    std::mt19937 random(11);
    for (int i = 0; i < 400; ++i)
        rom.Change(random() % 300000, static_cast<std::uint8_t>(random()));
    rom.ChangeRun(0, 3);
    rom.ChangeRun(100000, 70000);  // longer than one IPS record holds
    rom.ChangeRun(300000 - 5, 5);

    for (const PatchFileFormat* format : PatchFileFormats()) {
        SCOPED_TRACE(format == &IpsPatchFormat ? "IPS" : "BPS");
        const Bytes patch = Made(format->Build(rom.File, rom.Originals));
        const auto reference =
            format == &IpsPatchFormat ? ReferenceApplyIps(rom.Original, patch) : ReferenceApplyBps(rom.Original, patch);
        ASSERT_TRUE(reference);
        EXPECT_TRUE(*reference == rom.Current);
        const Applied applied = ApplyToCopy(dir, rom.Original, patch);
        EXPECT_TRUE(applied.Result.Accepted()) << applied.Result.Refusal;
        EXPECT_TRUE(applied.File == rom.Current);
        ExpectMinimalWrites(applied.Result, rom.Original);
        // Applied to the changed file, it changes nothing.
        const Applied again = ApplyToCopy(dir, rom.Current, patch);
        if (format == &IpsPatchFormat)
            EXPECT_TRUE(again.Result.Accepted() && again.Result.Writes.empty());
        else  // the checksum names the original, which this is not
            EXPECT_EQ(again.Result.Refusal, PatchSourceChecksumText);
    }
}

TEST(RomPatch, IpsSplitsLongRunsAtTheRecordLimit)
{
    TempDir dir;
    EditedRom rom(dir, Bytes(0x30000, 0));
    rom.ChangeRun(0x10, 65535 * 2 + 1);
    const Bytes patch = Made(IpsPatchFormat.Build(rom.File, rom.Originals));
    ASSERT_EQ(patch.size(), 5 + 3 * 5 + 65535 * 2 + 1 + 3);
    const Bytes second(patch.begin() + 5 + 5 + 65535, patch.begin() + 5 + 5 + 65535 + 5);
    EXPECT_EQ(second, (Bytes{0x01, 0x00, 0x0F, 0xFF, 0xFF}));  // 0x10 + 65535
    const Bytes third(patch.begin() + 5 + 10 + 2 * 65535, patch.begin() + 5 + 15 + 2 * 65535);
    EXPECT_EQ(third, (Bytes{0x02, 0x00, 0x0E, 0x00, 0x01}));
    EXPECT_TRUE(ReferenceApplyIps(rom.Original, patch) == rom.Current);
}

TEST(RomPatch, IpsNeverWritesTheEndMarkerAsAnOffset)
{
    TempDir dir;
    EditedRom rom(dir, RandomBytes(0x454F46 + 0x10, 3));
    rom.Change(0x454F46, static_cast<std::uint8_t>(~rom.Original[0x454F46]));
    Bytes patch = Made(IpsPatchFormat.Build(rom.File, rom.Originals));
    EXPECT_EQ(patch, Joined({Text("PATCH"),
                             {0x45, 0x4F, 0x45, 0x00, 0x02, rom.Original[0x454F45], rom.Current[0x454F46]},
                             Text("EOF")}));
    EXPECT_TRUE(ReferenceApplyIps(rom.Original, patch) == rom.Current);
    EXPECT_TRUE(ApplyToCopy(dir, rom.Original, patch).File == rom.Current);

    // A split that would start a record there: the record before it ends
    // there, the next one takes its last byte again.
    const std::int64_t start = 0x454F46 - 65535;
    rom.ChangeRun(start, 65535 + 3);
    patch = Made(IpsPatchFormat.Build(rom.File, rom.Originals));
    ASSERT_EQ(patch.size(), 5 + 5 + 65535 + 5 + 4 + 3);
    const Bytes second(patch.begin() + 5 + 5 + 65535, patch.end() - 3);
    EXPECT_EQ(second, (Bytes{0x45, 0x4F, 0x45, 0x00, 0x04, rom.Current[0x454F45], rom.Current[0x454F46],
                             rom.Current[0x454F47], rom.Current[0x454F48]}));
    EXPECT_TRUE(ReferenceApplyIps(rom.Original, patch) == rom.Current);
}

TEST(RomPatch, OnlyBpsReachesPast16MiB)
{
    TempDir dir;
    EditedRom rom(dir, Bytes(0x1000000 + 8, 0x11));
    rom.Change(0xFFFFFF, 0x22);  // the last byte IPS can address
    const Bytes ips = Made(IpsPatchFormat.Build(rom.File, rom.Originals));
    EXPECT_TRUE(ReferenceApplyIps(rom.Original, ips) == rom.Current);

    rom.Change(0x1000000, 0x33);
    const PatchFile refused = IpsPatchFormat.Build(rom.File, rom.Originals);
    EXPECT_EQ(refused.Refusal, IpsBeyond16MiBText);
    EXPECT_TRUE(refused.Bytes.empty());
    const Bytes bps = Made(BpsPatchFormat.Build(rom.File, rom.Originals));
    EXPECT_TRUE(ReferenceApplyBps(rom.Original, bps) == rom.Current);
    EXPECT_TRUE(ApplyToCopy(dir, rom.Original, bps).File == rom.Current);

    rom.Change(0x1000000, 0x11);  // back to its original: IPS can do it again
    EXPECT_TRUE(IpsPatchFormat.Build(rom.File, rom.Originals).Made());
}

TEST(RomPatch, IpsRecordsApplyInOrderWithRuns)
{
    TempDir dir;
    const Bytes original(16, 0);
    // A run of 6 x 0x77 at 2, then a record over part of it.
    const Bytes patch = Joined({Text("PATCH"), {0, 0, 2, 0, 0, 0, 6, 0x77}, {0, 0, 4, 0, 2, 0x00, 0x99}, Text("EOF")});
    const Applied applied = ApplyToCopy(dir, original, patch);
    ASSERT_TRUE(applied.Result.Accepted()) << applied.Result.Refusal;
    EXPECT_EQ(applied.Result.Writes, (std::vector<PatchWrite>{{2, {0x77, 0x77}}, {5, {0x99, 0x77, 0x77}}}));
    EXPECT_TRUE(applied.File == *ReferenceApplyIps(original, patch));

    // The length after the end marker is accepted only as the file's own.
    EXPECT_TRUE(ApplyToCopy(dir, original, Joined({patch, {0, 0, 16}})).Result.Accepted());
    EXPECT_EQ(ApplyToCopy(dir, original, Joined({patch, {0, 0, 15}})).Result.Refusal, PatchLengthChangeText(16, 15));
}

TEST(RomPatch, RefusesWhatWouldChangeTheLength)
{
    TempDir dir;
    const Bytes original = RandomBytes(64, 5);
    const Bytes pastEnd = Joined({Text("PATCH"), {0, 0, 63, 0, 2, 1, 2}, Text("EOF")});
    const Bytes runPastEnd = Joined({Text("PATCH"), {0, 0, 60, 0, 0, 0, 5, 1}, Text("EOF")});
    for (const Bytes& patch : {pastEnd, runPastEnd}) {
        const Applied applied = ApplyToCopy(dir, original, patch);
        EXPECT_EQ(applied.Result.Refusal, IpsPastEndText);
        EXPECT_TRUE(applied.Result.Writes.empty());
        EXPECT_NE(applied.Result.Refusal.find("never changes the length"), std::string::npos);
    }
    // 64 bytes to 65: SourceRead 64, TargetRead 1.
    Bytes longer = original;
    longer.push_back(9);
    const Bytes bps = WithBpsFooter(Joined({Text("BPS1"), {0xC0, 0xC1, 0x80, 0x7C, 0x80, 0x81, 9}}), original, longer);
    ASSERT_TRUE(ReferenceApplyBps(original, bps) == longer);
    const Applied applied = ApplyToCopy(dir, original, bps);
    EXPECT_EQ(applied.Result.Refusal, PatchLengthChangeText(64, 65));
    EXPECT_NE(applied.Result.Refusal.find("never changes the length"), std::string::npos);
    EXPECT_TRUE(applied.File == original);
}

TEST(RomPatch, BpsChecksumsAndSizesMustMatch)
{
    TempDir dir;
    EditedRom rom(dir, RandomBytes(4096, 9));
    rom.ChangeRun(1000, 20);
    const Bytes patch = Made(BpsPatchFormat.Build(rom.File, rom.Originals));

    Bytes otherSource = rom.Original;
    otherSource[4000] ^= 1;
    EXPECT_EQ(ApplyToCopy(dir, otherSource, patch).Result.Refusal, PatchSourceChecksumText);
    EXPECT_EQ(ApplyToCopy(dir, RandomBytes(4095, 9), patch).Result.Refusal, PatchSourceSizeText(4096, 4095));

    Bytes damaged = patch;
    damaged[10] ^= 0x40;
    EXPECT_EQ(ApplyToCopy(dir, rom.Original, damaged).Result.Refusal, PatchChecksumText);

    // A wrong target checksum, with the patch's own checksum made right.
    Bytes wrongTarget(patch.begin(), patch.end() - 4);
    wrongTarget[wrongTarget.size() - 1] ^= 0x01;
    wrongTarget = Joined({wrongTarget, Le32(ReferenceCrc32(wrongTarget, wrongTarget.size()))});
    const Applied applied = ApplyToCopy(dir, rom.Original, wrongTarget);
    EXPECT_EQ(applied.Result.Refusal, PatchTargetChecksumText);
    EXPECT_TRUE(applied.File == rom.Original);
}

// The CRC of changed data from the CRC before and the changed runs alone,
// checked against the reference CRC of the changed bytes; and two pieces'
// CRCs joined at every kind of split.
TEST(BpsCrc, ChangedRunsGiveTheCrcOfTheChangedData)
{
    const Bytes before = RandomBytes(70000, 21);
    using Runs = std::vector<std::pair<std::int64_t, std::size_t>>;
    Runs everyFewBytes;
    for (std::int64_t offset = 3; offset < 70000; offset += 997)
        everyFewBytes.emplace_back(offset, 1);
    const std::vector<Runs> cases = {
        {}, {{0, 1}}, {{69999, 1}}, {{0, 1}, {69999, 1}}, {{1000, 100}, {1100, 200}}, everyFewBytes, {{0, 70000}},
    };
    for (const Runs& runs : cases) {
        SCOPED_TRACE(runs.size());
        Bytes after = before;
        CrcOfChanges crc(70000);
        for (const auto& [offset, size] : runs) {
            Bytes difference(size);
            for (std::size_t i = 0; i < size; ++i) {
                difference[i] = static_cast<std::uint8_t>(1 + i % 255);
                after[static_cast<std::size_t>(offset) + i] ^= difference[i];
            }
            crc.Add(offset, difference);
        }
        EXPECT_EQ(crc.After(ReferenceCrc32(before, before.size())), ReferenceCrc32(after, after.size()));
    }
    for (const std::size_t split : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, std::size_t{69999}}) {
        const Bytes second(before.begin() + static_cast<std::ptrdiff_t>(split), before.end());
        EXPECT_EQ(CombineCrc32(ReferenceCrc32(before, split), ReferenceCrc32(second, second.size()),
                               static_cast<std::int64_t>(second.size())),
                  ReferenceCrc32(before, before.size()))
            << split;
    }
}

// The CRC of the file as opened is taken once and kept: a later patch,
// after more changes (the first and last bytes among them), still names
// the original and the changed file.
TEST(RomPatch, BpsKeepsTheOpenedFileCrcAcrossLaterChanges)
{
    TempDir dir;
    EditedRom rom(dir, RandomBytes(300000, 13));
    rom.ChangeRun(5000, 40);
    Made(BpsPatchFormat.Build(rom.File, rom.Originals));
    EXPECT_EQ(rom.Originals.OpenedFileCrc(), ReferenceCrc32(rom.Original, rom.Original.size()));
    rom.Change(0, static_cast<std::uint8_t>(~rom.Original[0]));
    rom.ChangeRun(299990, 10);
    rom.Change(5010, rom.Original[5010]);  // one byte of the run back as it was
    const Applied applied = ApplyToCopy(dir, rom.Original, Made(BpsPatchFormat.Build(rom.File, rom.Originals)));
    EXPECT_TRUE(applied.Result.Accepted()) << applied.Result.Refusal;
    EXPECT_TRUE(applied.File == rom.Current);
}

TEST(RomPatch, BpsCopiesFromSourceAndTarget)
{
    TempDir dir;
    const Bytes source = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
    // TargetRead 2 (1, 2); TargetCopy 5 from 0 (repeats 1, 2);
    // SourceCopy 3 from 9; SourceCopy 2 from 3 (back 9, sign bit).
    const Bytes body = Joined({Text("BPS1"), {0x8C, 0x8C, 0x80, 0x85, 1, 2, 0x93, 0x80, 0x8A, 0x92, 0x86, 0x93}});
    const Bytes target = {1, 2, 1, 2, 1, 2, 1, 19, 20, 21, 13, 14};
    const Bytes patch = WithBpsFooter(body, source, target);
    ASSERT_TRUE(ReferenceApplyBps(source, patch) == target);
    const Applied applied = ApplyToCopy(dir, source, patch);
    EXPECT_TRUE(applied.Result.Accepted()) << applied.Result.Refusal;
    EXPECT_TRUE(applied.File == target);
    ExpectMinimalWrites(applied.Result, source);

    // A target copy from where nothing was made yet, a source copy past the end.
    const Bytes fromAhead = Joined({Text("BPS1"), {0x8C, 0x8C, 0x80, 0x85, 1, 2, 0x93, 0x84, 0xA4}});
    const Bytes pastSource = Joined({Text("BPS1"), {0x8C, 0x8C, 0x80, 0x86, 0x96, 0xA4}});
    for (const Bytes& bad : {fromAhead, pastSource}) {
        const Applied refused = ApplyToCopy(dir, source, WithBpsFooter(bad, source, source));
        EXPECT_EQ(refused.Result.Refusal.rfind("The patch file is damaged (", 0), 0u) << refused.Result.Refusal;
        EXPECT_TRUE(refused.Result.Writes.empty());
    }
}

TEST(RomPatch, RefusesCutAndForeignPatches)
{
    TempDir dir;
    EditedRom rom(dir, RandomBytes(512, 4));
    rom.ChangeRun(100, 10);
    rom.ChangeRun(300, 4);
    for (const PatchFileFormat* format : PatchFileFormats()) {
        const Bytes patch = Made(format->Build(rom.File, rom.Originals));
        for (std::size_t size = 5; size < patch.size(); ++size) {
            const Bytes cut(patch.begin(), patch.begin() + static_cast<std::ptrdiff_t>(size));
            const Applied applied = ApplyToCopy(dir, rom.Original, cut);
            // IPS reads up to where it ends; a cut BPS shorter than the
            // least header and footer is cut, a longer one loses its checksum.
            const bool checksumLost = format == &BpsPatchFormat && size >= 4 + 3 + 12;
            EXPECT_EQ(applied.Result.Refusal, checksumLost ? PatchChecksumText : PatchTruncatedText) << size;
            EXPECT_TRUE(applied.File == rom.Original);
        }
    }
    for (const Bytes& foreign : {Text(""), Text("PATC"), Text("BPS"), Text("UPS1xxxxxxxxxxxxxx")})
        EXPECT_EQ(ApplyToCopy(dir, rom.Original, foreign).Result.Refusal, NotAPatchText);
    const Bytes emptyRun = Joined({Text("PATCH"), {0, 0, 1, 0, 0, 0, 0, 7}, Text("EOF")});
    EXPECT_EQ(ApplyToCopy(dir, rom.Original, emptyRun).Result.Refusal,
              PatchMalformedText("a repeated run of no bytes"));
    EXPECT_EQ(ApplyToCopy(dir, rom.Original, Joined({Text("PATCHEOF"), {1}})).Result.Refusal,
              PatchMalformedText("data after the end marker"));
}

TEST(RomPatch, FewChangesInALargeRomGiveFewWrites)
{
    TempDir dir;
    EditedRom rom(dir, RandomBytes(8 << 20, 2));
    rom.ChangeRun(5, 3);
    rom.ChangeRun(6 << 20, 2);
    const Bytes patch = Made(BpsPatchFormat.Build(rom.File, rom.Originals));
    EXPECT_LT(patch.size(), 64u);
    const Applied applied = ApplyToCopy(dir, rom.Original, patch);
    EXPECT_EQ(applied.Result.Writes.size(), 2u);
    EXPECT_TRUE(applied.File == rom.Current);
}

TEST(PatchFormats, DialogsListEveryFormatAndEntriesPickThem)
{
    EXPECT_EQ(CreatePatchFilter(), "IPS patch (*.ips)|*.ips|BPS patch (*.bps)|*.bps");
    EXPECT_EQ(ApplyPatchFilter(), "Patches (*.ips;*.bps)|*.ips;*.bps|All files (*.*)|*.*");
    const std::pair<int, const PatchFileFormat*> entries[] = {
        {1, &IpsPatchFormat}, {2, &BpsPatchFormat}, {0, &IpsPatchFormat}, {3, &IpsPatchFormat}, {-1, &IpsPatchFormat}};
    for (const auto& [index, format] : entries)
        EXPECT_EQ(&PatchFormatToCreate(index), format) << index;
}

TEST(PatchFormats, TheFirstBytesTellTheFormat)
{
    const std::pair<const char*, const PatchFileFormat*> starts[] = {
        {"PATCHEOF", &IpsPatchFormat}, {"BPS1", &BpsPatchFormat}, {"PATC", nullptr}, {"BPS2", nullptr}, {"", nullptr}};
    for (const auto& [start, format] : starts) {
        const Bytes bytes = Text(start);
        EXPECT_EQ(DetectPatchFormat(bytes.data(), bytes.size()), format) << start;
    }
}
