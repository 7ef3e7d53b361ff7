// The stream scan over made-up formats, so that what it must find is known
// byte for byte whatever codecs the list holds.
#include "model/codec/stream_codecs.h"
#include "model/codec/stream_scan.h"

#include "support/tile_like_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <numeric>
#include <utility>

namespace {

using Bytes = std::vector<std::uint8_t>;

// 0xA5, the data's length in 3 bytes (low first), the data, and the sum of
// the data's bytes as a check.
std::uint8_t Check(std::span<const std::uint8_t> data)
{
    return static_cast<std::uint8_t>(std::accumulate(data.begin(), data.end(), 0u));
}

Bytes Checked(const Bytes& data)
{
    Bytes stream = {0xA5, static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(data.size() >> 8),
                    static_cast<std::uint8_t>(data.size() >> 16)};
    stream.insert(stream.end(), data.begin(), data.end());
    stream.push_back(Check(data));
    return stream;
}

std::optional<std::size_t> ProbeChecked(std::span<const std::uint8_t> head)
{
    if (head.size() < 4 || head[0] != 0xA5)
        return std::nullopt;
    return std::size_t{head[1]} | std::size_t{head[2]} << 8 | std::size_t{head[3]} << 16;
}

UnpackResult UnpackChecked(std::span<const std::uint8_t> input, std::size_t limit)
{
    const auto size = ProbeChecked(input.first(std::min<std::size_t>(4, input.size())));
    if (!size)
        return RefusedStream(input.size() < 4 ? UnpackStatus::PastEnd : UnpackStatus::Corrupt, "no header");
    if (*size > limit)
        return RefusedStream(UnpackStatus::TooLarge, "too large");
    if (input.size() < 5 + *size)
        return RefusedStream(UnpackStatus::PastEnd, "cut short");
    const auto data = input.subspan(4, *size);
    if (input[4 + *size] != Check(data))
        return RefusedStream(UnpackStatus::Corrupt, "bad check");
    return {UnpackStatus::Unpacked, Bytes(data.begin(), data.end()), 5 + *size, ""};
}

const StreamCodec CheckedCodec{"Checked", "checked", 4, &UnpackChecked, nullptr, &ProbeChecked};

// Random bytes that hold no 0xA5, so no stream but those planted.
Bytes Filler(std::size_t size, unsigned seed)
{
    Bytes bytes = RandomData(size, seed);
    std::replace(bytes.begin(), bytes.end(), std::uint8_t{0xA5}, std::uint8_t{0});
    return bytes;
}

// Copies the stream in at address; what would lie past the file's end is cut.
void Plant(Bytes& file, std::size_t address, const Bytes& stream)
{
    const std::size_t count = std::min(stream.size(), file.size() - address);
    std::copy_n(stream.begin(), count, file.begin() + static_cast<std::ptrdiff_t>(address));
}

// Remembers the largest read and the bytes read in all.
class CountingSource : public MemorySource {
public:
    using MemorySource::MemorySource;
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const override
    {
        std::lock_guard lock(mutex_);
        Largest = std::max(Largest, size);
        Total += size;
        return MemorySource::ReadAt(offset, buffer, size);
    }
    mutable std::size_t Largest = 0, Total = 0;

private:
    mutable std::mutex mutex_;
};

const std::atomic<bool> Never{false};

TEST(StreamScan, FindsThePlantedStreamsBestFirstAndNothingThatDoesNotUnpack)
{
    constexpr std::size_t Size = (4 << 20) + 100;
    Bytes file = Filler(Size, 1);
    Bytes withInner = Filler(1000, 2);
    Plant(withInner, 0x100, Checked(Filler(300, 3)));  // a stream of its own, at 0x204
    Bytes longOne = Filler(400000, 4);
    Plant(longOne, 0x220000 - 0x1F0004, Checked(Filler(500, 5)));  // in the next block
    Bytes badCheck = Checked(Filler(2000, 6));
    badCheck.back() ^= 1;
    Plant(file, 0x100, Checked(withInner));
    Plant(file, 0x1000, Checked(Filler(1000, 7)));
    Plant(file, 0xFFF00, Checked(Filler(4096, 8)));   // across the first block's end
    Plant(file, 0x1F0000, Checked(longOne));          // runs past the bytes read with its block
    Plant(file, 0x300001, Checked(Filler(2000, 9)));  // not on a multiple of 4
    Plant(file, 0x310000, badCheck);
    Plant(file, 0x320000, Checked(Filler(100, 10)));     // smaller than MinUnpackedSize
    Plant(file, Size - 500, Checked(Filler(1000, 11)));  // cut by the end of the file
    const CountingSource source(file);

    const auto stream = [](std::int64_t address, std::size_t size) {
        return FoundStream{address, &CheckedCodec, size + 5, size, size % 32 == 0};
    };
    const std::vector<FoundStream> aligned = {stream(0x1F0000, 400000), stream(0xFFF00, 4096), stream(0x100, 1000),
                                              stream(0x1000, 1000),     stream(0x220000, 500), stream(0x204, 300)};
    std::vector<FoundStream> everyAddress = aligned;
    everyAddress.insert(everyAddress.begin() + 2, stream(0x300001, 2000));
    const StreamCodec* codecs[] = {&CheckedCodec};
    for (const bool every : {false, true}) {
        for (const int threads : {1, 2}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, every address " + std::to_string(every));
            StreamScanOptions options;
            options.EveryAddress = every;
            options.Threads = threads;
            options.MaxUnpackedSize = 400000;
            source.Largest = source.Total = 0;
            const StreamScanResult result = ScanForStreams(source, codecs, options, Never);
            EXPECT_EQ(result.Streams, every ? everyAddress : aligned);
            EXPECT_FALSE(result.Truncated || result.Cancelled);
            // Read in blocks with some bytes more, never whole.
            EXPECT_LE(source.Largest, std::size_t{5} << 18);
            EXPECT_LT(source.Total, 2 * Size);
        }
    }

    // Above the default MaxUnpackedSize, 64 KiB, the longest is left out.
    StreamScanOptions two;
    two.MaxResults = 2;
    const StreamScanResult best = ScanForStreams(source, codecs, two, Never);
    EXPECT_EQ(best.Streams, std::vector<FoundStream>(aligned.begin() + 1, aligned.begin() + 3));
    EXPECT_TRUE(best.Truncated);
}

// A format without a header: commands of a count 1 to 127 and as many bytes,
// ended by 0; from any command on it reads the rest of the stream.
std::optional<std::size_t> ProbeRuns(std::span<const std::uint8_t> head)
{
    return !head.empty() && head[0] < 0x80 ? std::optional(UnknownUnpackedSize) : std::nullopt;
}

UnpackResult UnpackRuns(std::span<const std::uint8_t> input, std::size_t limit)
{
    Bytes out;
    for (std::size_t at = 0; at < input.size(); at += 1 + input[at]) {
        if (input[at] == 0)
            return {UnpackStatus::Unpacked, out, at + 1, ""};
        if (input[at] >= 0x80 || at + 1 + input[at] > input.size() || out.size() + input[at] > limit)
            return RefusedStream(UnpackStatus::Corrupt, "bad command");
        out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(at + 1),
                   input.begin() + static_cast<std::ptrdiff_t>(at + 1 + input[at]));
    }
    return RefusedStream(UnpackStatus::PastEnd, "no end");
}

const StreamCodec RunsCodec{"Runs", "runs", 1, &UnpackRuns, nullptr, &ProbeRuns};

TEST(StreamScan, AStreamWithoutHeaderIsListedOnceFromItsStart)
{
    // Every byte but the commands has its top bit set, so only the planted
    // streams, their echoes from each of their commands on and the streams
    // of commands planted before them read.
    Bytes file = RandomData(3 << 20, 16);
    for (auto& byte : file)
        byte |= 0x80;
    const auto plant = [&](std::size_t address, const std::vector<std::uint8_t>& counts) {
        for (const std::uint8_t count : counts)
            file[std::exchange(address, address + 1 + count)] = count;
        file[address] = 0;
    };
    plant(0x100, std::vector<std::uint8_t>(10, 127));
    plant(0xFFF00, std::vector<std::uint8_t>(20, 127));  // its third command starts the second block
    plant(0x2000, std::vector<std::uint8_t>(4, 64));     // 256 bytes, whole tiles
    file[0x2000 - 3] = 2;                                // random bytes that lead into it
    const StreamCodec* codecs[] = {&RunsCodec};
    const std::vector<FoundStream> expected = {{0xFFF00, &RunsCodec, 2561, 2540, false},
                                               {0x100, &RunsCodec, 1281, 1270, false},
                                               {0x2000, &RunsCodec, 261, 256, true}};
    for (const int threads : {1, 2}) {
        StreamScanOptions options;
        options.Threads = threads;
        EXPECT_EQ(ScanForStreams(MemorySource(file), codecs, options, Never).Streams, expected);
    }
}

std::atomic<int> AnythingUnpacks{0};

const StreamCodec AnythingCodec{
    "Anything",
    "anything",
    1,
    [](std::span<const std::uint8_t>, std::size_t) {
        ++AnythingUnpacks;
        return RefusedStream(UnpackStatus::Corrupt, "never");
    },
    nullptr,
    [](std::span<const std::uint8_t>) { return std::optional<std::size_t>(UnknownUnpackedSize); }};

TEST(StreamScan, FillerIsNotUnpackedButTheBytesBeforeTheEndAre)
{
    const StreamCodec* codecs[] = {&AnythingCodec};
    for (const Bytes& period : {Bytes{0}, Bytes{0x00, 0xFF}, Bytes{1, 2, 3, 4}}) {
        Bytes file(100000);
        for (std::size_t i = 0; i < file.size(); ++i)
            file[i] = period[i % period.size()];
        AnythingUnpacks = 0;
        ScanForStreams(MemorySource(file), codecs, {}, Never);
        // The last 35 addresses have too few bytes after them to tell.
        EXPECT_EQ(AnythingUnpacks, 35) << period.size();
    }
}

TEST(StreamScan, CancelStopsEarly)
{
    const StreamCodec* codecs[] = {&CheckedCodec};
    Bytes file = Filler(16 << 20, 12);
    Plant(file, 0, Checked(Filler(1000, 13)));
    const MemorySource source(file);
    std::atomic<bool> cancel{false};
    int calls = 0;
    double last = 0;
    StreamScanOptions options;
    options.Threads = 2;
    const StreamScanResult result = ScanForStreams(source, codecs, options, cancel, [&](double fraction) {
        ++calls;
        last = fraction;
        cancel = true;
    });
    EXPECT_TRUE(result.Cancelled);
    EXPECT_LE(calls, 2);
    EXPECT_LT(last, 0.15);
    // Set before the start: nothing is scanned.
    const StreamScanResult before = ScanForStreams(source, codecs, options, cancel);
    EXPECT_TRUE(before.Cancelled);
    EXPECT_TRUE(before.Streams.empty());
}

TEST(StreamScan, UnpackAtReadsAsFarAsTheStreamGoes)
{
    const Bytes data = Filler(200000, 14);
    Bytes file = Filler(300000, 15);
    Plant(file, 10, Checked(data));
    const MemorySource source(file);
    const UnpackResult whole = UnpackStreamAt(source, CheckedCodec, 10, DefaultUnpackLimit);
    EXPECT_EQ(whole.Bytes, data);
    EXPECT_EQ(whole.PackedLength, data.size() + 5);

    const MemorySource cut(Bytes(file.begin(), file.begin() + 100000));
    EXPECT_EQ(UnpackStreamAt(cut, CheckedCodec, 10, DefaultUnpackLimit).Status, UnpackStatus::PastEnd);
    const UnpackResult outside = UnpackStreamAt(source, CheckedCodec, 300000, DefaultUnpackLimit);
    EXPECT_EQ(outside.Status, UnpackStatus::PastEnd);
    EXPECT_EQ(outside.Reason, "the address lies past the end of the file");
    EXPECT_EQ(UnpackStreamAt(source, CheckedCodec, 10, 199999).Status, UnpackStatus::TooLarge);
}

}  // namespace

// Bytes that read as one short LC_LZ2 stream from several starts (taken
// from a scan that listed it three times); it is listed once.
TEST(StreamScan, NoStreamIsListedTwice)
{
    const std::vector<std::uint8_t> bytes = {0xa4, 0x7a, 0x37, 0xe5, 0xb4, 0x01, 0xff, 0x86, 0x7d, 0x03,
                                             0x14, 0x7c, 0xb1, 0xfa, 0xf7, 0xa6, 0x4b, 0x65, 0xf6, 0x3f,
                                             0xec, 0x3a, 0x80, 0xf8, 0x51, 0x6f, 0x89, 0x6f, 0xa4, 0x0d,
                                             0x3e, 0x55, 0xef, 0x1d, 0xa7, 0xef, 0xa2, 0xa7, 0xff, 0x19};
    std::vector<std::uint8_t> rom = RandomData(8192, 3);
    std::copy(bytes.begin(), bytes.end(), rom.begin() + 0x1000);
    const MemorySource source(rom);
    const std::atomic<bool> never{false};
    const StreamCodec* lcLz2[] = {StreamCodecNamed("lc_lz2")};
    const StreamScanResult result = ScanForStreams(source, lcLz2, {}, never);
    std::vector<std::int64_t> addresses;
    for (const FoundStream& found : result.Streams)
        addresses.push_back(found.Address);
    std::sort(addresses.begin(), addresses.end());
    EXPECT_NE(std::find(addresses.begin(), addresses.end(), 0x101E), addresses.end());
    EXPECT_EQ(std::adjacent_find(addresses.begin(), addresses.end()), addresses.end());
}
