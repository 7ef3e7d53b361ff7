// A 64 x 64 tilemap of random entries in each entry format: drawing it from
// a map already read, and reading it (map bytes and the tile range named, one
// read each) and drawing it, from a real file and from bytes in memory.
#include "model/core/rom_file.h"
#include "model/tilemap/tilemap_picture.h"

#include "random_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int Side = 64;
constexpr int FileLength = 1 << 20;

// The same bytes as the benchmark file, held in memory.
class MemoryStore : public TileStore {
public:
    explicit MemoryStore(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::int32_t Length() const override { return static_cast<std::int32_t>(bytes_.size()); }
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const override
    {
        if (offset < 0 || offset >= Length())
            return 0;
        const std::size_t count = std::min(size, bytes_.size() - static_cast<std::size_t>(offset));
        std::memcpy(buffer, bytes_.data() + offset, count);
        return count;
    }
    RomWriteResult WriteAt(std::int64_t, const std::uint8_t*, std::size_t) override
    {
        return {RomWriteStatus::NotWritable, "read only"};
    }

private:
    std::vector<std::uint8_t> bytes_;
};

const RandomFile& BenchFile()
{
    static const RandomFile file("tilemap-bench", FileLength, 5);
    return file;
}

const MemoryStore& BenchMemory()
{
    static const MemoryStore store = [] {
        std::vector<std::uint8_t> bytes(FileLength);
        std::mt19937 random(5);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        return MemoryStore(std::move(bytes));
    }();
    return store;
}

// The map at 0x1000, its tiles from 0x10000 on, in the format's usual mode.
TilemapShape BenchShape(benchmark::State& state)
{
    const TilemapFormatInfo& info = TilemapFormats()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(info.Name));
    TilemapShape shape;
    shape.Format = info.Format;
    shape.MapAddress = 0x1000;
    shape.Width = Side;
    shape.Height = Side;
    shape.TilesAddress = 0x10000;
    shape.TileMode = info.TypicalMode;
    shape.PaletteBase = 1;
    return shape;
}

void BM_RenderTilemap(benchmark::State& state)
{
    const LoadedTilemap map = ReadTilemap(BenchShape(state), BenchMemory(), BenchMemory());
    std::vector<std::uint8_t> indices(Side * 8 * Side * 8);
    for (auto _ : state) {
        RenderTilemap(map, indices.data());
        benchmark::DoNotOptimize(indices.data());
    }
    state.counters["tiles"] = static_cast<double>(map.TilePixels.size() / 64);
}

void ReadAndRender(benchmark::State& state, const TileStore& store)
{
    const TilemapShape shape = BenchShape(state);
    std::vector<std::uint8_t> indices(Side * 8 * Side * 8);
    for (auto _ : state) {
        const LoadedTilemap map = ReadTilemap(shape, store, store);
        RenderTilemap(map, indices.data());
        benchmark::DoNotOptimize(indices.data());
    }
}

void BM_ReadAndRenderFromFile(benchmark::State& state)
{
    RomFile file;
    if (!file.Open(BenchFile().Path()).Opened()) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    ReadAndRender(state, file);
}

void BM_ReadAndRenderFromMemory(benchmark::State& state)
{
    ReadAndRender(state, BenchMemory());
}

}  // namespace

BENCHMARK(BM_RenderTilemap)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadAndRenderFromFile)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadAndRenderFromMemory)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
