#include "model/tools/file_info_report.h"

#include "model/core/number_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

namespace {

// Segments are summed in 32 bits: 255 * 2^24 still fits.
constexpr std::size_t MaxBlockSize = std::size_t{1} << 24;

// Eight bytes a word: the even and odd bytes added into four 16-bit lanes,
// which hold LaneWords words of 0xFF bytes before they are folded.
constexpr std::size_t LaneWords = 65535 / (2 * 255);

std::uint32_t SumBytes(const std::uint8_t* bytes, std::size_t count)
{
    constexpr std::uint64_t evenBytes = 0x00FF00FF00FF00FFULL;
    std::uint32_t sum = 0;
    std::size_t i = 0;
    while (count - i >= 8) {
        const std::size_t words = std::min((count - i) / 8, LaneWords);
        std::uint64_t lanes = 0;
        for (std::size_t w = 0; w < words; ++w) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i + 8 * w, sizeof word);
            lanes += (word & evenBytes) + ((word >> 8) & evenBytes);
        }
        i += 8 * words;
        sum += static_cast<std::uint32_t>((lanes & 0xFFFF) + (lanes >> 16 & 0xFFFF) + (lanes >> 32 & 0xFFFF) +
                                          (lanes >> 48));
    }
    for (; i < count; ++i)
        sum += bytes[i];
    return sum;
}

std::string AttributeLine(bool present, const char* words)
{
    return std::string("...") + (present ? "" : "not ") + words;
}

std::string ProgressCaption(int percent, bool inHeader)
{
    return std::string(CalculatingCaption) + (inHeader ? "(" : " (") + std::to_string(percent) + "%)";
}

}  // namespace

std::string LengthText(std::int64_t length)
{
    // length / 2^20 * 100 is exact in a double for any 32-bit length, so the
    // integer division cuts exactly where the floor of the product would.
    const std::int64_t hundredths = length * 100 / (std::int64_t{1} << 20);
    return FormatPlainDecimal(static_cast<double>(hundredths) / 100.0) + " MB (" + std::to_string(length) + " bytes )";
}

FileAttributes ReadFileAttributes(const std::string& path)
{
    FileAttributes attributes;
    attributes.ReadOnly = RomFile::IsReadOnly(path);
    const std::string name = std::filesystem::path(path).filename().string();
    attributes.Hidden = !name.empty() && name.front() == '.';
    return attributes;
}

std::string AttributesText(const FileAttributes& attributes)
{
    return "File is...\r" + AttributeLine(attributes.ReadOnly, "write protected.") + "\r" +
           AttributeLine(attributes.Hidden, "hidden.") + "\r" + AttributeLine(attributes.System, "a system file.") +
           "\r" + AttributeLine(attributes.Archive, "marked to be archived.");
}

std::string RomTitleText(const RomFile& file)
{
    std::array<std::uint8_t, GameBoyTitleLength> title{};
    const std::size_t delivered = file.ReadAt(GameBoyTitleOffset, title.data(), title.size());
    if (delivered == 0)
        return NotAvailableText;
    return std::string(title.begin(), title.begin() + static_cast<std::ptrdiff_t>(delivered));
}

namespace {

// Upper-case hexadecimal, at least `digits` digits.
std::string HexDigits(unsigned value, int digits)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), hexDigits[value % 16]);
        value /= 16;
    } while (value != 0 || static_cast<int>(text.size()) < digits);
    return text;
}

constexpr std::int64_t HeaderChecksumOffset = 333;  // 0x14D
constexpr std::int64_t HeaderSumStart = 308;        // 0x134 .. 0x14C

std::string CheckLine(const std::string& name, const std::string& stored, const std::string& computed)
{
    if (stored == NotAvailableText)
        return name + ": " + NotAvailableText;
    return name + ": computed " + computed +
           (stored == computed ? ", matches" : ", stored " + stored + ", does not match");
}

}  // namespace

std::string StoredChecksumText(const RomFile& file)
{
    std::array<std::uint8_t, 2> stored{};
    if (file.ReadAt(GameBoyChecksumOffset, stored.data(), stored.size()) != stored.size())
        return NotAvailableText;
    return HexDigits(stored[0] * 256u + stored[1], 1);
}

HeaderChecksum HeaderChecksumTexts(const RomFile& file)
{
    std::array<std::uint8_t, HeaderChecksumOffset - HeaderSumStart + 1> bytes{};
    if (file.ReadAt(HeaderSumStart, bytes.data(), bytes.size()) != bytes.size())
        return {NotAvailableText, NotAvailableText};
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        sum = static_cast<std::uint8_t>(sum - bytes[i] - 1);
    return {HexDigits(bytes.back(), 2), HexDigits(sum, 2)};
}

std::string ChecksumCheckText(const RomFile& file, std::int32_t length)
{
    const HeaderChecksum header = HeaderChecksumTexts(file);
    const std::string stored = StoredChecksumText(file);
    std::string global;
    if (stored == NotAvailableText) {
        global = CheckLine("Global checksum", stored, {});
    } else {
        const ChecksumSum sum = SumGameBoyRom(file, length, {});
        global = sum.Complete ? CheckLine("Global checksum", stored, HexDigits(sum.Sum, 1))
                              : "Global checksum: the file could not be read to its end";
    }
    return CheckLine("Header checksum", header.Stored, header.Computed) + "\r" + global;
}

std::vector<ChecksumProgress> ChecksumProgressSteps(std::int32_t length)
{
    std::vector<ChecksumProgress> steps;
    if (length <= 0)
        return steps;
    const std::int64_t last = length - 1;
    const std::int64_t step = length / 100;
    int percent = 0;
    if (step == 0) {
        // The mark stays at 0: only offset 0 meets it.
        steps.push_back({0, ProgressCaption(1, true)});
        return steps;
    }
    std::int64_t mark = step;
    for (; mark <= last && mark < GameBoyChecksumOffset; mark += step)
        steps.push_back({static_cast<std::int32_t>(mark), ProgressCaption(++percent, true)});
    // The checksum bytes are read without a test, so a mark there is passed.
    if (mark == GameBoyChecksumOffset || mark == GameBoyChecksumOffset + 1)
        return steps;
    for (; mark <= last; mark += step)
        steps.push_back({static_cast<std::int32_t>(mark), ProgressCaption(++percent, false)});
    return steps;
}

ChecksumSum SumGameBoyRom(const RomFile& file, std::int32_t length, const ChecksumProgressReport& progress,
                          std::size_t blockSize)
{
    ChecksumSum result;
    const std::vector<ChecksumProgress> steps = ChecksumProgressSteps(length);
    std::size_t nextStep = 0;
    const std::int64_t total = std::max<std::int32_t>(length, 0);
    blockSize = std::clamp<std::size_t>(blockSize, 1, MaxBlockSize);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(blockSize, total)));
    // Wraps modulo 2^64, a multiple of 2^16, so subtracting early is harmless.
    std::uint64_t sum = 0;

    for (std::int64_t start = 0; start < total;) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::int64_t>(buffer.size(), total - start));
        if (file.ReadAt(start, buffer.data(), count) != count) {
            result.Sum = static_cast<std::uint16_t>(sum);
            return result;
        }
        const std::int64_t end = start + static_cast<std::int64_t>(count);
        for (std::int64_t skipped = GameBoyChecksumOffset; skipped < GameBoyChecksumOffset + 2; ++skipped) {
            if (skipped >= start && skipped < end)
                sum -= buffer[static_cast<std::size_t>(skipped - start)];
        }
        // Sum up to each progress mark inside the block, report it, go on.
        std::int64_t done = start;
        while (done < end) {
            const bool markHere = nextStep < steps.size() && steps[nextStep].Offset < end;
            const std::int64_t stop = markHere ? steps[nextStep].Offset + 1 : end;
            sum += SumBytes(buffer.data() + (done - start), static_cast<std::size_t>(stop - done));
            done = stop;
            if (markHere) {
                if (progress)
                    progress(steps[nextStep]);
                ++nextStep;
            }
        }
        start = end;
    }
    result.Complete = true;
    result.Sum = static_cast<std::uint16_t>(sum);
    return result;
}

RomWriteResult WriteGameBoyChecksum(RomFile& file, std::uint16_t sum)
{
    // Both bytes in one write, so the header never holds half a checksum.
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum & 0xFF)};
    return file.WriteAt(GameBoyChecksumOffset, bytes, 2);
}

UserMessage ChecksumTooShortMessage()
{
    return {ChecksumFileTooShortText, ChecksumNotRepairedCaption, MsgIcon::Critical};
}

std::optional<UserMessage> RepairGameBoyChecksum(RomFile& file, std::int32_t length,
                                                 const ChecksumProgressReport& progress)
{
    // The sum's two bytes lie at 334 and 335; writing them into a shorter
    // file would grow it.
    if (length < GameBoyHeaderEnd)
        return ChecksumTooShortMessage();
    return RepairGameBoyChecksumFromSum(file, length, SumGameBoyRom(file, length, progress));
}

std::optional<UserMessage> RepairGameBoyChecksumFromSum(RomFile& file, std::int32_t length, const ChecksumSum& result)
{
    if (length < GameBoyHeaderEnd)
        return ChecksumTooShortMessage();
    if (!result.Complete)
        return UserMessage{ChecksumReadFailedText, ChecksumNotRepairedCaption, MsgIcon::Critical};
    const RomWriteResult written = WriteGameBoyChecksum(file, result.Sum);
    // A refused write keeps the old bytes; a file changed outside the
    // program or bytes that could not be put back need their own words.
    if (written.Status == RomWriteStatus::Failed || written.Status == RomWriteStatus::NotWritable)
        return UserMessage{ChecksumWriteFailedText, ChecksumWriteFailedCaption, MsgIcon::Information};
    if (!written)
        return UserMessage{written.Reason, ChecksumWriteFailedCaption, MsgIcon::Critical};
    return std::nullopt;
}
