#include "model/tools/file_info_report.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string Calculating = "Calculating, please wait...";

RomFile OpenFile(const std::string& path)
{
    RomFile file;
    EXPECT_TRUE(file.Open(path).Opened());
    return file;
}

// The repair's progress read byte by byte, as the steps are described.
std::vector<ChecksumProgress> ReferenceSteps(std::int32_t length)
{
    std::vector<ChecksumProgress> steps;
    const std::int32_t step = length / 100;
    std::int32_t mark = step;
    int percent = 0;
    for (std::int32_t offset = 0; offset < length; ++offset) {
        if (offset == 334 || offset == 335)
            continue;
        if (offset == mark) {
            ++percent;
            mark += step;
            steps.push_back({offset, Calculating + (offset < 334 ? "(" : " (") + std::to_string(percent) + "%)"});
        }
    }
    return steps;
}

std::uint16_t ReferenceSum(const Bytes& bytes)
{
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != 334 && i != 335)
            sum = static_cast<std::uint16_t>(sum + bytes[i]);
    }
    return sum;
}

Bytes RandomBytes(std::mt19937& random, std::size_t length)
{
    Bytes bytes(length);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

void ExpectSameSteps(const std::vector<ChecksumProgress>& actual, const std::vector<ChecksumProgress>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].Offset, expected[i].Offset) << "update " << i;
        EXPECT_EQ(actual[i].Caption, expected[i].Caption) << "update " << i;
    }
}

}  // namespace

TEST(FileInfoLengthText, MegabytesCutToTwoDecimals)
{
    EXPECT_EQ(LengthText(1 << 20), "1 MB (1048576 bytes )");
    EXPECT_EQ(LengthText(3 << 19), "1.5 MB (1572864 bytes )");
    EXPECT_EQ(LengthText(1 << 19), "0.5 MB (524288 bytes )");
    EXPECT_EQ(LengthText(0), "0 MB (0 bytes )");
    // Cut, not rounded: one byte short of a megabyte is 0.999999... MB.
    EXPECT_EQ(LengthText((1 << 20) - 1), "0.99 MB (1048575 bytes )");
    // 0.01 MB is 10485.76 bytes.
    EXPECT_EQ(LengthText(10485), "0 MB (10485 bytes )");
    EXPECT_EQ(LengthText(10486), "0.01 MB (10486 bytes )");
    EXPECT_EQ(LengthText(32768), "0.03 MB (32768 bytes )");
    EXPECT_EQ(LengthText(2147483647), "2047.99 MB (2147483647 bytes )");
}

TEST(FileInfoAttributes, FiveLinesWithNotBeforeAbsentAttributes)
{
    EXPECT_EQ(AttributesText({false, false, false, true}),
              "File is...\r...not write protected.\r...not hidden.\r...not a system file.\r...marked to be archived.");
    EXPECT_EQ(AttributesText({}), "File is...\r...not write protected.\r...not hidden.\r...not a system file.\r"
                                  "...not marked to be archived.");
    EXPECT_EQ(AttributesText({true, true, true, false}),
              "File is...\r...write protected.\r...hidden.\r...a system file.\r...not marked to be archived.");
}

TEST(FileInfoAttributes, ReadOnlyFromPermissionsHiddenFromLeadingDot)
{
    TempDir dir;
    const std::string plain = dir.WriteFile("rom.gb", {1});
    const std::string hidden = dir.WriteFile(".rom.gb", {1});
    const std::string dotInside = dir.WriteFile("rom.gb.bak", {1});

    FileAttributes attributes = ReadFileAttributes(plain);
    EXPECT_FALSE(attributes.ReadOnly);
    EXPECT_FALSE(attributes.Hidden);
    EXPECT_FALSE(attributes.System);
    EXPECT_FALSE(attributes.Archive);
    EXPECT_TRUE(ReadFileAttributes(hidden).Hidden);
    EXPECT_FALSE(ReadFileAttributes(dotInside).Hidden);
    // A dot in a folder name does not hide the file.
    std::filesystem::create_directory(dir.Path() / ".folder");
    EXPECT_FALSE(ReadFileAttributes((dir.Path() / ".folder" / "rom.gb").string()).Hidden);

    ASSERT_EQ(::chmod(plain.c_str(), 0444), 0);
    attributes = ReadFileAttributes(plain);
    EXPECT_TRUE(attributes.ReadOnly);
    EXPECT_FALSE(attributes.Hidden);
}

TEST(FileInfoHeader, TitleAndStoredChecksumFromTheHeader)
{
    TempDir dir;
    Bytes bytes(0x150, 0xEE);
    const std::string title = "POCKET MONSTERS";
    std::copy(title.begin(), title.end(), bytes.begin() + 308);
    bytes[334] = 0x3A;
    bytes[335] = 0x7F;
    RomFile file = OpenFile(dir.WriteFile("a.gb", bytes));
    EXPECT_EQ(RomTitleText(file), title);
    EXPECT_EQ(StoredChecksumText(file), "3A7F");
}

TEST(FileInfoHeader, ShortFileShowsWhatCanBeRead)
{
    TempDir dir;
    const Bytes bytes = CountingBytes(336);
    const auto titleOf = [&](std::size_t length) {
        RomFile file =
            OpenFile(dir.WriteFile("t" + std::to_string(length), Bytes(bytes.begin(), bytes.begin() + length)));
        return RomTitleText(file);
    };
    const auto checksumOf = [&](std::size_t length) {
        RomFile file =
            OpenFile(dir.WriteFile("c" + std::to_string(length), Bytes(bytes.begin(), bytes.begin() + length)));
        return StoredChecksumText(file);
    };
    EXPECT_EQ(titleOf(0), "n/a");
    EXPECT_EQ(titleOf(308), "n/a");
    EXPECT_EQ(titleOf(309), std::string(1, static_cast<char>(308 & 0xFF)));
    EXPECT_EQ(titleOf(311), std::string(bytes.begin() + 308, bytes.begin() + 311));
    EXPECT_EQ(titleOf(323), std::string(bytes.begin() + 308, bytes.begin() + 323));
    EXPECT_EQ(checksumOf(0), "n/a");
    EXPECT_EQ(checksumOf(334), "n/a");
    EXPECT_EQ(checksumOf(335), "n/a");  // one of the two bytes
    EXPECT_EQ(checksumOf(336), "4E4F");
    RomFile closed;
    EXPECT_EQ(RomTitleText(closed), "n/a");
    EXPECT_EQ(StoredChecksumText(closed), "n/a");
}

TEST(FileInfoProgress, FileOf32KiBRisesEvery327BytesFirstInHeaderForm)
{
    const auto steps = ChecksumProgressSteps(1 << 15);
    ASSERT_EQ(steps.size(), 100u);
    EXPECT_EQ(steps[0].Offset, 327);
    EXPECT_EQ(steps[0].Caption, "Calculating, please wait...(1%)");
    EXPECT_EQ(steps[1].Offset, 654);
    EXPECT_EQ(steps[1].Caption, "Calculating, please wait... (2%)");
    EXPECT_EQ(steps[2].Offset, 981);
    EXPECT_EQ(steps[2].Caption, "Calculating, please wait... (3%)");
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].Offset, 327 * static_cast<int>(i + 1));
        const std::string percent = std::to_string(i + 1) + "%)";
        EXPECT_EQ(steps[i].Caption, Calculating + (i == 0 ? "(" : " (") + percent);
    }
    EXPECT_EQ(steps.back().Offset, 32700);
    EXPECT_EQ(steps.back().Caption, "Calculating, please wait... (100%)");
}

TEST(FileInfoProgress, MarkOnTheChecksumBytesStopsTheProgress)
{
    // Step 334 and step 335: the first mark has no test, the percent stays 0.
    EXPECT_TRUE(ChecksumProgressSteps(33400).empty());
    EXPECT_TRUE(ChecksumProgressSteps(33499).empty());
    EXPECT_TRUE(ChecksumProgressSteps(33500).empty());
    EXPECT_TRUE(ChecksumProgressSteps(33599).empty());
    // Step 167: the second mark is 334, so only 1% ever shows.
    const auto half = ChecksumProgressSteps(16700);
    ASSERT_EQ(half.size(), 1u);
    EXPECT_EQ(half[0].Offset, 167);
    EXPECT_EQ(half[0].Caption, "Calculating, please wait...(1%)");
    // Step 333 and 336 pass: the mark falls on a tested offset.
    EXPECT_EQ(ChecksumProgressSteps(33399).size(), 100u);
    EXPECT_EQ(ChecksumProgressSteps(33399)[0].Caption, "Calculating, please wait...(1%)");
    EXPECT_EQ(ChecksumProgressSteps(33699).size(), 100u);
    EXPECT_EQ(ChecksumProgressSteps(33699)[0].Offset, 336);
    EXPECT_EQ(ChecksumProgressSteps(33699)[0].Caption, "Calculating, please wait... (1%)");
}

TEST(FileInfoProgress, ShortFileHasStepZeroAndRisesOnceAtOffsetZero)
{
    for (std::int32_t length : {1, 2, 50, 99}) {
        const auto steps = ChecksumProgressSteps(length);
        ASSERT_EQ(steps.size(), 1u) << length;
        EXPECT_EQ(steps[0].Offset, 0);
        EXPECT_EQ(steps[0].Caption, "Calculating, please wait...(1%)");
    }
    EXPECT_TRUE(ChecksumProgressSteps(0).empty());
    EXPECT_TRUE(ChecksumProgressSteps(-5).empty());
}

TEST(FileInfoProgress, PercentPassesHundredWhenMarksFitPastTheLastStep)
{
    // 199 bytes: step 1, offsets 1 to 198 are marks.
    const auto steps = ChecksumProgressSteps(199);
    ASSERT_EQ(steps.size(), 198u);
    EXPECT_EQ(steps.back().Offset, 198);
    EXPECT_EQ(steps.back().Caption, "Calculating, please wait...(198%)");
    // 5099 bytes: step 50, the 101st mark is 5050.
    const auto longer = ChecksumProgressSteps(5099);
    ASSERT_EQ(longer.size(), 101u);
    EXPECT_EQ(longer.back().Offset, 5050);
    EXPECT_EQ(longer.back().Caption, "Calculating, please wait... (101%)");
    // 10000 bytes: the hundredth mark is offset 10000, one past the end.
    const auto even = ChecksumProgressSteps(10000);
    ASSERT_EQ(even.size(), 99u);
    EXPECT_EQ(even.back().Offset, 9900);
}

TEST(FileInfoProgress, MatchesByteByByteReadingForManyLengths)
{
    std::vector<std::int32_t> lengths;
    for (std::int32_t length = 0; length <= 1200; ++length)
        lengths.push_back(length);
    for (std::int32_t length = 33250; length <= 33750; ++length)
        lengths.push_back(length);
    std::mt19937 random(6);
    for (int i = 0; i < 60; ++i)
        lengths.push_back(static_cast<std::int32_t>(random() % 3000000));
    for (std::int32_t length : lengths) {
        SCOPED_TRACE(length);
        ExpectSameSteps(ChecksumProgressSteps(length), ReferenceSteps(length));
    }
}

TEST(FileInfoChecksum, SumWrapsAndLeavesOutTheChecksumBytes)
{
    TempDir dir;
    RomFile file = OpenFile(dir.WriteFile("ones.gb", Bytes(1 << 16, 0x01)));
    const ChecksumSum result = SumGameBoyRom(file, file.Length(), {});
    EXPECT_TRUE(result.Complete);
    EXPECT_EQ(result.Sum, 0xFFFE);
}

TEST(FileInfoChecksum, BlockReadsMatchByteBySumOnRandomFiles)
{
    TempDir dir;
    std::mt19937 random(336);
    const std::vector<std::size_t> lengths = {336, 337, 1000, 4096, 33400, 100000, 3 * 1048576 + 17};
    const std::vector<std::size_t> blockSizes = {1, 7, 334, 335, 336, 4096, ChecksumBlockSize};
    for (std::size_t length : lengths) {
        const Bytes bytes = RandomBytes(random, length);
        RomFile file = OpenFile(dir.WriteFile("r" + std::to_string(length), bytes));
        for (std::size_t blockSize : blockSizes) {
            if (blockSize < 300 && length > 100000)
                continue;  // byte-sized blocks on megabytes only cost time
            SCOPED_TRACE(std::to_string(length) + " bytes in blocks of " + std::to_string(blockSize));
            std::vector<ChecksumProgress> reported;
            const ChecksumSum result = SumGameBoyRom(
                file, static_cast<std::int32_t>(length),
                [&](const ChecksumProgress& progress) { reported.push_back(progress); }, blockSize);
            EXPECT_TRUE(result.Complete);
            EXPECT_EQ(result.Sum, ReferenceSum(bytes));
            ExpectSameSteps(reported, ReferenceSteps(static_cast<std::int32_t>(length)));
        }
    }
}

// Bytes of 0xFF fill the sum's partial counters fastest: no carry may be
// lost at any length, whole words or not.
TEST(FileInfoChecksum, FullBytesLoseNoCarry)
{
    TempDir dir;
    for (const std::size_t length :
         {std::size_t{336}, std::size_t{1031}, std::size_t{65536 + 5}, std::size_t{1} << 20}) {
        SCOPED_TRACE(length);
        const Bytes bytes(length, 0xFF);
        RomFile file = OpenFile(dir.WriteFile("f" + std::to_string(length), bytes));
        EXPECT_EQ(SumGameBoyRom(file, static_cast<std::int32_t>(length), {}).Sum, ReferenceSum(bytes));
    }
}

TEST(FileInfoChecksum, FileShorterThanItsLengthIsIncomplete)
{
    TempDir dir;
    RomFile file = OpenFile(dir.WriteFile("a.gb", Bytes(1000, 1)));
    std::vector<ChecksumProgress> reported;
    const ChecksumSum result = SumGameBoyRom(
        file, 2000, [&](const ChecksumProgress& progress) { reported.push_back(progress); }, 256);
    EXPECT_FALSE(result.Complete);
    // Progress reached only bytes that were read.
    ASSERT_FALSE(reported.empty());
    EXPECT_LT(reported.back().Offset, 1000);
    RomFile closed;
    EXPECT_FALSE(SumGameBoyRom(closed, 500, {}).Complete);
}

TEST(FileInfoChecksum, WritesMostSignificantByteFirstAndNothingElse)
{
    TempDir dir;
    const Bytes before = CountingBytes(1024);
    const std::string path = dir.WriteFile("a.gb", before);
    {
        RomFile file = OpenFile(path);
        EXPECT_TRUE(WriteGameBoyChecksum(file, 0xBEEF));
    }
    Bytes expected = before;
    expected[334] = 0xBE;
    expected[335] = 0xEF;
    EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST(FileInfoChecksum, ReadOnlyFileIsRefusedAndStaysUnchanged)
{
    TempDir dir;
    const Bytes before = CountingBytes(400);
    const std::string path = dir.WriteFile("a.gb", before);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    RomFile file = OpenFile(path);
    EXPECT_EQ(WriteGameBoyChecksum(file, 0x1234).Status, RomWriteStatus::NotWritable);
    EXPECT_EQ(ReadWholeFile(path), before);
}

TEST(FileInfoChecksum, NeverGrowsAShortFile)
{
    TempDir dir;
    const std::string path = dir.WriteFile("a.gb", Bytes(335, 7));
    RomFile file = OpenFile(path);
    // 334 lies inside, 335 does not: neither byte is written.
    EXPECT_EQ(WriteGameBoyChecksum(file, 0x1234).Status, RomWriteStatus::OutsideFile);
    EXPECT_EQ(ReadWholeFile(path), Bytes(335, 7));
}

TEST(ChecksumRepair, WritesTheSumOrSaysWhyNot)
{
    TempDir dir;
    // Too short for the header: refused before anything is read.
    {
        RomFile file;
        ASSERT_TRUE(file.Open(dir.WriteFile("short.gb", CountingBytes(335))).Opened());
        const auto message = RepairGameBoyChecksum(file, file.Length(), {});
        ASSERT_TRUE(message);
        EXPECT_EQ(message->Text, ChecksumFileTooShortText);
        EXPECT_EQ(message->Caption, "Checksum not repaired");
        EXPECT_EQ(message->Icon, MsgIcon::Critical);
    }
    // A writable file gets the sum of every byte but 334 and 335, high byte first.
    const std::vector<std::uint8_t> bytes = CountingBytes(1024);
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (i != 334 && i != 335)
            sum += bytes[i];
    const std::string path = dir.WriteFile("game.gb", bytes);
    {
        RomFile file;
        ASSERT_TRUE(file.Open(path).Opened());
        EXPECT_FALSE(RepairGameBoyChecksum(file, file.Length(), {}));
    }
    std::vector<std::uint8_t> expected = bytes;
    expected[334] = static_cast<std::uint8_t>(sum >> 8);
    expected[335] = static_cast<std::uint8_t>(sum);
    EXPECT_EQ(ReadWholeFile(path), expected);
    // A write the system refuses keeps the old bytes and says so plainly.
    {
        RomFile file;
        const std::string fullPath = dir.WriteFile("full.gb", bytes);
        ASSERT_TRUE(file.Open(fullPath).Opened());
        // The first write fails; putting the old bytes back works.
        file.SetWriterForTesting([calls = 0](int fd, const void* data, std::size_t size, off_t offset) mutable {
            if (calls++ == 0) {
                errno = ENOSPC;
                return ssize_t{-1};
            }
            return ::pwrite(fd, data, size, offset);
        });
        const auto message = RepairGameBoyChecksum(file, file.Length(), {});
        ASSERT_TRUE(message);
        EXPECT_EQ(message->Text, "Could not write checksum to file.");
        EXPECT_EQ(message->Caption, "Error while saving");
        EXPECT_EQ(message->Icon, MsgIcon::Information);
        EXPECT_EQ(ReadWholeFile(fullPath), bytes);
    }
}

TEST(FileInfoHeader, ComputedChecksumsAndWhetherTheStoredOnesMatch)
{
    // Zero bytes: the header checksum over 0x134-0x14C is -25 = E7, and the
    // global sum is then the E7 at 0x14D alone.
    struct Case {
        std::size_t Length;
        std::uint8_t Header;     // at 0x14D
        std::uint8_t GlobalLow;  // at 0x14F, after 00 at 0x14E
        const char* Text;
    };
    const Case cases[] = {
        {0x150, 0xE7, 0xE7, "Header checksum: computed E7, matches\rGlobal checksum: computed E7, matches"},
        {0x150, 0x12, 0xE7,
         "Header checksum: computed E7, stored 12, does not match\r"
         "Global checksum: computed 12, stored E7, does not match"},
        {0x400, 0xE7, 0xE6,
         "Header checksum: computed E7, matches\rGlobal checksum: computed E7, stored E6, does not match"},
        {334, 0xE7, 0, "Header checksum: computed E7, matches\rGlobal checksum: n/a"},
        {333, 0, 0, "Header checksum: n/a\rGlobal checksum: n/a"},
    };
    TempDir dir;
    int n = 0;
    for (const Case& c : cases) {
        Bytes bytes(std::max<std::size_t>(c.Length, 0x150), 0);
        bytes[0x14D] = c.Header;
        bytes[0x14F] = c.GlobalLow;
        bytes.resize(c.Length);
        RomFile file = OpenFile(dir.WriteFile("sum" + std::to_string(n++), bytes));
        EXPECT_EQ(ChecksumCheckText(file, static_cast<std::int32_t>(c.Length)), c.Text) << c.Length;
    }
}
