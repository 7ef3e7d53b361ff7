// Memory of the journal's original bytes per byte changed, for changes laid
// out as one stretch written in order, tiles scattered over the file, single
// bytes scattered, overlapping writes and tiles written backwards, up to
// 16 MiB changed (single bytes up to 1 MiB: millions of lone runs take
// long to build); and the memory of reverting a 32 MiB ROM every byte of
// which was changed (the step with its old and new bytes, plus the journal).
//
// Memory is counted by this program's own operator new and delete: the heap
// bytes alive (malloc_usable_size, what the allocator really set aside for
// each block) after the work, less those alive before, divided by the bytes
// changed. "accounted_per_byte" is the map's own MemoryBytes() for the same.
#include "model/core/dialogs.h"
#include "model/core/original_bytes.h"
#include "model/core/program_state.h"
#include "model/tools/patch_actions.h"

#include "random_file.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

namespace {

std::atomic<std::int64_t> liveBytes{0};
std::atomic<std::int64_t> peakBytes{0};

void Count(std::int64_t bytes)
{
    const std::int64_t now = liveBytes.fetch_add(bytes) + bytes;
    std::int64_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
}

void* Allocate(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    Count(static_cast<std::int64_t>(::malloc_usable_size(block)));
    return block;
}

void Free(void* block)
{
    if (block == nullptr)
        return;
    Count(-static_cast<std::int64_t>(::malloc_usable_size(block)));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void operator delete(void* block) noexcept
{
    Free(block);
}
void operator delete[](void* block) noexcept
{
    Free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    Free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    Free(block);
}

namespace {

constexpr std::int64_t Space = 64 << 20;  // where scattered changes fall

enum class Layout { Stretch, ScatteredTiles, ScatteredBytes, Overlapping, BackwardTiles };

// Records changes laid out as layout until at least target bytes are kept,
// with the values a ROM would give (any will do).
void RecordChanges(OriginalByteMap& map, Layout layout, std::int64_t target)
{
    std::mt19937 random(17);
    std::vector<std::uint8_t> block(4096);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 7);
    auto write = [&](std::int64_t offset, std::size_t size) {
        map.Record(offset, std::span<const std::uint8_t>(block.data(), size));
    };
    switch (layout) {
    case Layout::Stretch:
        for (std::int64_t at = 0; at < target; at += 4096)
            write(at, 4096);
        break;
    case Layout::ScatteredTiles:
        while (map.Size() < target)
            write(16 * static_cast<std::int64_t>(random() % (Space / 16)), 16);
        break;
    case Layout::ScatteredBytes:
        while (map.Size() < target)
            write(static_cast<std::int64_t>(random() % Space), 1);
        break;
    case Layout::Overlapping:
        // 64-byte writes anywhere in a stretch a little longer than the
        // target: most of them cover bytes already kept.
        while (map.Size() < target)
            write(static_cast<std::int64_t>(random() % static_cast<std::uint32_t>(target + target / 4)), 64);
        break;
    case Layout::BackwardTiles:
        for (std::int64_t at = target - 16; at >= 0; at -= 16)
            write(at, 16);
        break;
    }
}

void JournalMemory(benchmark::State& state, Layout layout)
{
    const std::int64_t target = state.range(0);
    std::int64_t memory = 0;
    std::int64_t kept = 0;
    std::size_t accounted = 0;
    for (auto _ : state) {
        const std::int64_t before = liveBytes.load();
        {
            OriginalByteMap map;
            RecordChanges(map, layout, target);
            memory = liveBytes.load() - before + static_cast<std::int64_t>(sizeof map);
            kept = map.Size();
            accounted = map.MemoryBytes();
            benchmark::DoNotOptimize(map);
        }
    }
    state.counters["bytes_changed"] = static_cast<double>(kept);
    state.counters["memory_per_byte"] = static_cast<double>(memory) / static_cast<double>(kept);
    state.counters["accounted_per_byte"] = static_cast<double>(accounted) / static_cast<double>(kept);
    state.SetBytesProcessed(state.iterations() * kept);
}

void BM_JournalMemoryStretch(benchmark::State& state)
{
    JournalMemory(state, Layout::Stretch);
}
void BM_JournalMemoryScatteredTiles(benchmark::State& state)
{
    JournalMemory(state, Layout::ScatteredTiles);
}
void BM_JournalMemoryScatteredBytes(benchmark::State& state)
{
    JournalMemory(state, Layout::ScatteredBytes);
}
void BM_JournalMemoryOverlapping(benchmark::State& state)
{
    JournalMemory(state, Layout::Overlapping);
}
void BM_JournalMemoryBackwardTiles(benchmark::State& state)
{
    JournalMemory(state, Layout::BackwardTiles);
}

class NoDialogs : public Dialogs {
public:
    void Message(const std::string&, const std::string&, MsgIcon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    SaveChoice AskSaveDiscardCancel(const std::string&, const std::string&) override { return SaveChoice::Cancel; }
    FileChoice OpenFile(const std::string&) override { return {}; }
    FileChoice SaveFile(const std::string&) override { return {}; }
    std::optional<PackedColor> PickColor() override { return std::nullopt; }
};

// Every byte of a 32 MiB ROM changed by one write, then reverted: the peak
// while reverting and what stays afterwards (the revert step holding the
// old and new bytes, and the journal), per byte changed.
void BM_Revert32MiBChangedEverywhere(benchmark::State& state)
{
    constexpr std::int32_t length = 32 << 20;
    const RandomFile file("journal-memory-bench", length, 5);
    std::vector<std::uint8_t> changed;
    double peak = 0;
    double kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ProgramState program;
        InitState(program);
        program.ShowSaveWarning = false;
        NoDialogs dialogs;
        if (!program.FileHandle.Open(file.Path()).Opened()) {
            state.SkipWithError("cannot open the benchmark file");
            return;
        }
        changed.assign(length, 0);
        program.FileHandle.ReadAt(0, changed.data(), changed.size());
        for (auto& byte : changed)
            byte = static_cast<std::uint8_t>(~byte);
        program.FileHandle.WriteAt(0, changed.data(), changed.size());
        std::vector<std::uint8_t>().swap(changed);
        // The change's own step (its old and new bytes) goes, so only the
        // journal of original bytes is counted from here.
        program.History.Clear();
        const std::int64_t before = liveBytes.load();
        peakBytes = before;
        state.ResumeTiming();

        const EditReport report = RevertToOpenedState(program, dialogs);

        state.PauseTiming();
        if (!report.InfoText || report.Message)
            state.SkipWithError("the revert did not go through");
        peak = static_cast<double>(peakBytes.load() - before);
        kept = static_cast<double>(liveBytes.load() - before);
        state.ResumeTiming();
    }
    state.counters["peak_per_byte"] = peak / length;
    state.counters["kept_per_byte"] = kept / length;
}

}  // namespace

BENCHMARK(BM_JournalMemoryStretch)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalMemoryScatteredTiles)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalMemoryScatteredBytes)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalMemoryOverlapping)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalMemoryBackwardTiles)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Revert32MiBChangedEverywhere)->Iterations(1)->Unit(benchmark::kMillisecond);
