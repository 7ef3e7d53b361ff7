// SearchGraphics over a 64 MiB file of random bytes with one query tile,
// every byte offset: all twelve modes, or one mode (the browser's current
// one). Random bytes are the worst case for the quick reject, as real
// graphics repeat far more; the tile is a typical sprite tile (background,
// outline, fill, light), plus one case with a tile of random colors. CPU
// time is that of the whole process, both worker threads together. The
// floor is one read pass of the same file (BM_ReadPass64MiB, one thread).
#include "model/core/mode_table.h"
#include "model/core/rom_file.h"
#include "model/tools/graphics_search.h"

#include "random_file.h"
#include "read_pass.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <thread>

namespace {

constexpr std::size_t FileLength = 64 << 20;

const std::string& BenchFile()
{
    static const RandomFile file("graphics-search-bench", FileLength, 3);
    return file.Path();
}

TilePixels SpriteTile()
{
    static constexpr const char* rows[8] = {
        "00011000", "00122100", "01233210", "12333321", "12333321", "01222210", "00111100", "00000000",
    };
    TilePixels tile{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile[y * 8 + x] = static_cast<std::uint8_t>(rows[y][x] - '0');
    return tile;
}

TilePixels RandomColorTile()
{
    std::mt19937 random(5);
    TilePixels tile{};
    for (auto& p : tile)
        p = static_cast<std::uint8_t>(random() % 4);
    return tile;
}

void RunSearch(benchmark::State& state, const std::vector<GraphicsMode>& modes, const TilePixels& tile,
               const SearchOptions& options)
{
    RomFile file;
    if (!file.Open(BenchFile()).Opened()) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    const std::atomic<bool> cancel{false};
    std::size_t matches = 0;
    for (auto _ : state) {
        const SearchResult result = SearchGraphics(file, {{tile, 0, 0}}, modes, options, cancel);
        matches = result.Matches.size();
        benchmark::DoNotOptimize(matches);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(FileLength));
    state.counters["matches"] = static_cast<double>(matches);
}

void BM_AllModes(benchmark::State& state)
{
    SearchOptions options;
    options.Exact = state.range(0) != 0;
    options.Flips = state.range(1) != 0;
    RunSearch(state, AllGraphicsModes(), SpriteTile(), options);
    state.SetLabel(std::string(options.Exact ? "exact" : "pattern") + (options.Flips ? ", flips" : ""));
}

void BM_OneMode(benchmark::State& state)
{
    const auto mode = static_cast<GraphicsMode>(state.range(0));
    RunSearch(state, {mode}, SpriteTile(), {});
    state.SetLabel(std::string(StandardModes[mode].Name));
}

void BM_AllModesRandomColorTile(benchmark::State& state)
{
    RunSearch(state, AllGraphicsModes(), RandomColorTile(), {});
}

void BM_OneModeRandomColorTile(benchmark::State& state)
{
    const auto mode = static_cast<GraphicsMode>(state.range(0));
    RunSearch(state, {mode}, RandomColorTile(), {});
    state.SetLabel(std::string(StandardModes[mode].Name));
}

// A query cut from a 64 x 64 picture of random 4-color tiles: 64 tiles.
std::vector<QueryTile> QueryOf64Tiles()
{
    std::mt19937 random(11);
    std::vector<std::uint8_t> picture(64 * 64);
    for (auto& p : picture)
        p = static_cast<std::uint8_t>(random() % 4);
    return QueryFromImage(64, 64, picture);
}

// The 64-tile query in all modes (argument -1) or one.
void BM_QueryOf64Tiles(benchmark::State& state)
{
    RomFile file;
    if (!file.Open(BenchFile()).Opened()) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    const std::vector<QueryTile> query = QueryOf64Tiles();
    const std::vector<GraphicsMode> modes =
        state.range(0) < 0 ? AllGraphicsModes() : std::vector{static_cast<GraphicsMode>(state.range(0))};
    const std::atomic<bool> cancel{false};
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchGraphics(file, query, modes, {}, cancel).Matches.size());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(FileLength));
}

void BM_ReadPass64MiB(benchmark::State& state)
{
    MeasureReadPass(state, BenchFile());
}

void BM_AllModesOneThread(benchmark::State& state)
{
    SearchOptions options;
    options.Threads = 1;
    RunSearch(state, AllGraphicsModes(), SpriteTile(), options);
}

// From setting the cancel flag, 100 ms into an all-mode search of the
// 64-tile query (the longest search here), to the search's return.
void BM_CancelDelay(benchmark::State& state)
{
    RomFile file;
    if (!file.Open(BenchFile()).Opened()) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    const RomFileSource source(file);
    const std::vector<QueryTile> query = QueryOf64Tiles();
    for (auto _ : state) {
        std::atomic<bool> cancel{false};
        std::chrono::steady_clock::time_point cancelled;
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            cancelled = std::chrono::steady_clock::now();
            cancel = true;
        });
        const SearchResult result = SearchGraphics(source, query, AllGraphicsModes(), {}, cancel);
        const auto returned = std::chrono::steady_clock::now();
        canceller.join();
        if (!result.Cancelled) {
            state.SkipWithError("the search ended before the cancel");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(returned - cancelled).count());
    }
}

}  // namespace

BENCHMARK(BM_ReadPass64MiB)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_AllModes)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_OneMode)
    ->DenseRange(0, ModeCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_AllModesRandomColorTile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_OneModeRandomColorTile)
    ->DenseRange(0, ModeCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_CancelDelay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_QueryOf64Tiles)
    ->DenseRange(-1, ModeCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_AllModesOneThread)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

namespace {

// A 2048 x 2048 picture of random 4-color tiles: 65,536 tiles, of which
// distinct of them are different (each drawn 65,536 / distinct times).
std::vector<QueryTile> LargeQuery(int distinct)
{
    std::mt19937 random(13);
    std::vector<TilePixels> tiles(static_cast<std::size_t>(distinct));
    for (auto& tile : tiles)
        for (auto& p : tile)
            p = static_cast<std::uint8_t>(random() % 4);
    std::vector<QueryTile> query;
    for (int i = 0; i < 256 * 256; ++i)
        query.push_back({tiles[static_cast<std::size_t>(i % distinct)], i % 256, i / 256});
    return query;
}

// Preparing a 2048 x 2048 query with flips, in one mode, over a file of one
// tile: the time is that of the query's preparation (a query of more
// different tiles than allowed is refused after counting them).
void BM_PrepareLargeQuery(benchmark::State& state)
{
    const std::vector<QueryTile> query = LargeQuery(static_cast<int>(state.range(0)));
    const MemorySource source(std::vector<std::uint8_t>(64, 0));
    SearchOptions options;
    options.Flips = true;
    const std::atomic<bool> cancel{false};
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchGraphics(source, query, {ModeSnes4bpp}, options, cancel).Matches.size());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(query.size()));
}

}  // namespace

BENCHMARK(BM_PrepareLargeQuery)->Arg(4096)->Arg(65536)->Unit(benchmark::kMillisecond)->Iterations(1);
