#include "model/codec/stream_scan.h"

#include "model/core/progress_gate.h"
#include "model/core/worker_threads.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace {

// Candidate addresses a worker takes at once; the buffer holds more bytes
// past them so that most streams end inside it.
constexpr std::int64_t BlockBytes = std::int64_t{1} << 20;
constexpr std::size_t LookaheadBytes = std::size_t{256} << 10;
// UnpackStreamAt's first window, and how a window grows when a stream runs
// past it.
constexpr std::size_t FirstWindowBytes = std::size_t{64} << 10;
constexpr std::size_t WindowGrowth = 4;
// What Probe is shown.
constexpr std::size_t ProbeBytes = 16;
// Filler: FillerSpan bytes equal to those a period further on.
constexpr std::size_t FillerSpan = 32;
constexpr std::size_t FillerPeriods[] = {1, 2, 4};
// How far after the start of a stream without header its real start is
// looked for.
constexpr std::int64_t LeadInBytes = 64;

std::size_t WindowCap(std::size_t limit)
{
    // A little past twice the limit: literal runs and headers make a stream
    // of incompressible data slightly longer than its data.
    return limit > (SIZE_MAX - 4096) / 2 ? SIZE_MAX : 2 * limit + 4096;
}

bool StartsWithFiller(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < FillerSpan + FillerPeriods[std::size(FillerPeriods) - 1])
        return false;
    for (const std::size_t period : FillerPeriods)
        if (std::memcmp(bytes.data(), bytes.data() + period, FillerSpan) == 0)
            return true;
    return false;
}

// Unpacks at address from windows of the source, the first of window
// bytes, each next one WindowGrowth times larger, until the stream ends
// inside one, the file ends or the window reaches its cap.
UnpackResult UnpackInWindows(const SearchSource& source, const StreamCodec& codec, std::int64_t address,
                             std::size_t limit, std::size_t window, std::vector<std::uint8_t>& scratch,
                             const std::atomic<bool>* cancel)
{
    const std::int64_t length = source.Length();
    if (address < 0 || address >= length)
        return RefusedStream(UnpackStatus::PastEnd, "the address lies past the end of the file");
    const auto rest = static_cast<std::size_t>(length - address);
    const std::size_t cap = WindowCap(limit);
    for (;;) {
        const std::size_t size = std::min({window, rest, cap});
        scratch.resize(size);
        const std::size_t delivered = source.ReadAt(address, scratch.data(), size);
        UnpackResult result = codec.Unpack(std::span(scratch.data(), delivered), limit);
        if (result.Status != UnpackStatus::PastEnd || delivered < size || size == rest)
            return result;
        if (size == cap)
            return RefusedStream(UnpackStatus::PastEnd, "the stream runs on past " + std::to_string(cap) +
                                                            " bytes, more than twice the unpack limit");
        if (cancel && cancel->load(std::memory_order_relaxed))
            return result;
        window = size > cap / WindowGrowth ? cap : size * WindowGrowth;
    }
}

struct Found {
    FoundStream Stream;
    std::size_t CodecIndex;  // order of the list given, for ties
    bool Headerless;         // Probe declared no size: echoes may follow inside
};

bool BestFirst(const Found& a, const Found& b)
{
    if (a.Stream.UnpackedLength != b.Stream.UnpackedLength)
        return a.Stream.UnpackedLength > b.Stream.UnpackedLength;
    if (a.Stream.Address != b.Stream.Address)
        return a.Stream.Address < b.Stream.Address;
    return a.CodecIndex < b.CodecIndex;
}

// One thread's blocks: each block is scanned on its own, so what is found
// does not depend on which thread took which block.
class Worker {
public:
    Worker(const SearchSource& source, std::span<const StreamCodec* const> codecs, const StreamScanOptions& options,
           const std::atomic<bool>& cancel)
        : source_(source), length_(source.Length()), codecs_(codecs), options_(options), cancel_(cancel),
          buffer_(std::min(static_cast<std::size_t>(BlockBytes) + LookaheadBytes, static_cast<std::size_t>(length_)))
    {
    }

    std::vector<Found> Streams;
    bool Trimmed = false;  // streams beyond the best MaxResults were let go
    bool Stopped = false;  // the cancel flag ended the scan

    void ScanBlock(std::int64_t blockStart)
    {
        if (cancel_.load(std::memory_order_relaxed)) {
            Stopped = true;
            return;
        }
        const std::int64_t blockEnd = std::min(length_, blockStart + BlockBytes);
        const std::size_t wanted =
            std::min<std::size_t>(buffer_.size(), static_cast<std::size_t>(length_ - blockStart));
        const std::size_t filled = source_.ReadAt(blockStart, buffer_.data(), wanted);
        // The file goes on past the bytes read: a stream running past them
        // is read again from a larger window.
        const bool more = blockStart + static_cast<std::int64_t>(filled) < length_;
        for (std::size_t c = 0; c < codecs_.size() && !Stopped; ++c)
            ScanCodec(c, blockStart, blockEnd, std::span(buffer_.data(), filled), more);
    }

private:
    void ScanCodec(std::size_t codecIndex, std::int64_t blockStart, std::int64_t blockEnd,
                   std::span<const std::uint8_t> bytes, bool more)
    {
        const StreamCodec& codec = *codecs_[codecIndex];
        const std::int64_t step = options_.EveryAddress ? 1 : std::max(1, codec.Alignment);
        const std::int64_t last = std::min(blockEnd, blockStart + static_cast<std::int64_t>(bytes.size()));
        for (std::int64_t address = (blockStart + step - 1) / step * step; address < last; address += step) {
            if (cancel_.load(std::memory_order_relaxed)) {
                Stopped = true;
                return;
            }
            std::optional<Candidate> found =
                TryAt(codec, address, bytes.subspan(static_cast<std::size_t>(address - blockStart)), more);
            if (!found)
                continue;
            const std::int64_t end = address + static_cast<std::int64_t>(found->Result.PackedLength);
            std::int64_t start = address;
            if (found->Headerless && !IsWholeTiles(found->Result))
                if (auto later = WholeTilesLeadingTo(codec, address, end, step, blockStart, bytes)) {
                    start = later->first;
                    found = std::move(later->second);
                }
            const UnpackResult& result = found->Result;
            Streams.push_back({{start, &codec, result.PackedLength, result.Bytes.size(), IsWholeTiles(result)},
                               codecIndex,
                               found->Headerless});
            KeepBounded();
            // Inside a stream without header are only its echoes.
            if (found->Headerless)
                address = (std::max(end, address + 1) + step - 1) / step * step - step;
        }
    }

    struct Candidate {
        UnpackResult Result;
        bool Headerless;  // Probe declared no size
    };

    static bool IsWholeTiles(const UnpackResult& result) { return result.Bytes.size() % WholeTileBytes == 0; }

    // The stream at the start of rest when it is listed: Probe passes, it
    // starts with no filler and unpacks whole to a size asked for. When it
    // runs past rest and more of the file follows, it is read again from
    // larger windows.
    std::optional<Candidate> TryAt(const StreamCodec& codec, std::int64_t address, std::span<const std::uint8_t> rest,
                                   bool more)
    {
        const auto declared = codec.Probe(rest.first(std::min(ProbeBytes, rest.size())));
        if (!declared ||
            (*declared != UnknownUnpackedSize &&
             (*declared < options_.MinUnpackedSize || *declared > options_.MaxUnpackedSize)) ||
            StartsWithFiller(rest))
            return std::nullopt;
        UnpackResult result = codec.Unpack(rest, options_.MaxUnpackedSize);
        if (result.Status == UnpackStatus::PastEnd && more)
            result = UnpackInWindows(source_, codec, address, options_.MaxUnpackedSize,
                                     std::max(FirstWindowBytes, rest.size() * WindowGrowth), window_, &cancel_);
        if (!result || result.Bytes.size() < options_.MinUnpackedSize)
            return std::nullopt;
        return Candidate{std::move(result), *declared == UnknownUnpackedSize};
    }

    // Random bytes before a stream without header often read as commands
    // that lead into it, so the stream found starts too early and its data
    // is not whole tiles. The first stream of whole tiles that starts a
    // little later and ends at the same byte is then taken instead: for
    // graphics, the real start. Only echoes are unpacked, each no further
    // than the end.
    std::optional<std::pair<std::int64_t, Candidate>> WholeTilesLeadingTo(const StreamCodec& codec,
                                                                          std::int64_t address, std::int64_t end,
                                                                          std::int64_t step, std::int64_t blockStart,
                                                                          std::span<const std::uint8_t> bytes)
    {
        if (end - blockStart > static_cast<std::int64_t>(bytes.size()))
            return std::nullopt;
        for (std::int64_t later = address + step; later < std::min(end, address + LeadInBytes); later += step) {
            const auto from = static_cast<std::size_t>(later - blockStart);
            std::optional<Candidate> echo =
                TryAt(codec, later, bytes.subspan(from, static_cast<std::size_t>(end - later)), false);
            if (echo && later + static_cast<std::int64_t>(echo->Result.PackedLength) == end &&
                IsWholeTiles(echo->Result))
                return std::pair{later, std::move(*echo)};
        }
        return std::nullopt;
    }

    // Memory stays bounded however many streams a file holds.
    void KeepBounded()
    {
        const std::size_t keep = std::max<std::size_t>(options_.MaxResults, 1);
        if (Streams.size() < 2 * keep)
            return;
        std::sort(Streams.begin(), Streams.end(), BestFirst);
        Streams.resize(keep);
        Trimmed = true;
    }

    const SearchSource& source_;
    std::int64_t length_;
    std::span<const StreamCodec* const> codecs_;
    const StreamScanOptions& options_;
    const std::atomic<bool>& cancel_;
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint8_t> window_;
};

// A block starts its scan afresh, so an echo of a headerless stream found
// across a block's start may be found from inside it: of those, keep per
// codec only streams that start after the last kept one's packed bytes.
void DropEchoes(std::vector<Found>& streams)
{
    std::sort(streams.begin(), streams.end(), [](const Found& a, const Found& b) {
        return a.CodecIndex != b.CodecIndex ? a.CodecIndex < b.CodecIndex : a.Stream.Address < b.Stream.Address;
    });
    const Found* last = nullptr;  // the last headerless stream kept
    std::size_t kept = 0;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const Found found = streams[i];
        // One stream is listed once, however many starts led to it.
        if (kept > 0 && streams[kept - 1].CodecIndex == found.CodecIndex &&
            streams[kept - 1].Stream.Address == found.Stream.Address)
            continue;
        if (found.Headerless && last && last->CodecIndex == found.CodecIndex &&
            found.Stream.Address < last->Stream.Address + static_cast<std::int64_t>(last->Stream.PackedLength))
            continue;
        streams[kept] = found;
        if (found.Headerless)
            last = &streams[kept];
        ++kept;
    }
    streams.resize(kept);
}

}  // namespace

StreamScanResult ScanForStreams(const SearchSource& source, std::span<const StreamCodec* const> codecs,
                                const StreamScanOptions& options, const std::atomic<bool>& cancel,
                                const StreamScanProgress& progress)
{
    StreamScanResult result;
    std::vector<const StreamCodec*> distinct;
    for (const StreamCodec* codec : codecs)
        if (codec && std::find(distinct.begin(), distinct.end(), codec) == distinct.end())
            distinct.push_back(codec);
    const std::int64_t length = source.Length();
    if (cancel.load(std::memory_order_relaxed)) {
        result.Cancelled = true;
        return result;
    }
    if (distinct.empty() || length <= 0)
        return result;

    const std::int64_t blockCount = (length + BlockBytes - 1) / BlockBytes;
    int threadCount = options.Threads > 0 ? options.Threads : static_cast<int>(std::thread::hardware_concurrency());
    threadCount = static_cast<int>(std::clamp<std::int64_t>(threadCount, 1, blockCount));
    ProgressGate gate(progress, length);
    std::atomic<std::int64_t> nextBlock{0};
    std::vector<Worker> workers;
    workers.reserve(static_cast<std::size_t>(threadCount));
    for (int t = 0; t < threadCount; ++t)
        workers.emplace_back(source, distinct, options, cancel);
    // Blocks are handed out one at a time, so a thread held up by a slow
    // block does not leave the other waiting at the end.
    const auto scan = [&](int t) {
        Worker& worker = workers[static_cast<std::size_t>(t)];
        for (std::int64_t block = nextBlock++; block < blockCount && !worker.Stopped; block = nextBlock++) {
            worker.ScanBlock(block * BlockBytes);
            if (!worker.Stopped)
                gate.Add(std::min(BlockBytes, length - block * BlockBytes));
        }
    };
    RunOnThreads(threadCount, scan);

    std::vector<Found> found;
    for (Worker& worker : workers) {
        found.insert(found.end(), worker.Streams.begin(), worker.Streams.end());
        result.Truncated = result.Truncated || worker.Trimmed;
        result.Cancelled = result.Cancelled || worker.Stopped;
    }
    DropEchoes(found);
    std::sort(found.begin(), found.end(), BestFirst);
    if (found.size() > options.MaxResults) {
        found.resize(options.MaxResults);
        result.Truncated = true;
    }
    result.Streams.reserve(found.size());
    for (const Found& f : found)
        result.Streams.push_back(f.Stream);
    return result;
}

UnpackResult UnpackStreamAt(const SearchSource& source, const StreamCodec& codec, std::int64_t address,
                            std::size_t limit)
{
    std::vector<std::uint8_t> scratch;
    return UnpackInWindows(source, codec, address, limit, FirstWindowBytes, scratch, nullptr);
}
