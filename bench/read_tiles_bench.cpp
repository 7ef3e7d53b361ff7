// ReadTiles of the largest browser grid (16 x 16 tiles) from a real file, in
// every mode: the file read plus decoding that a browser reload costs. A
// second case reads a grid that runs past the end of the file.
#include "model/core/mode_table.h"
#include "model/core/rom_file.h"
#include "model/core/tile_io.h"

#include "random_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

constexpr int GridTiles = 16 * 16;
constexpr int FileLength = 1 << 20;

// A 1 MiB file of random bytes, made once and removed at exit.
const std::string& BenchFile()
{
    static const RandomFile file("read-tiles-bench", FileLength, 7);
    return file.Path();
}

void ReadGrid(benchmark::State& state, std::int32_t address)
{
    const auto mode = static_cast<std::uint8_t>(state.range(0));
    RomFile file;
    if (!file.Open(BenchFile()).Opened()) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    std::vector<std::uint8_t> pixels(GridTiles * 64);
    for (auto _ : state) {
        ReadTiles(file, mode, address, GridTiles, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * GridTiles * StandardModes[mode].BytesPerTile);
    state.SetLabel(std::string(StandardModes[mode].Name));
}

void BM_ReadTilesGrid(benchmark::State& state)
{
    ReadGrid(state, 4096);
}

// Half of the grid lies past the end of the file.
void BM_ReadTilesGridAtEnd(benchmark::State& state)
{
    const int bytesPerTile = StandardModes[state.range(0)].BytesPerTile;
    ReadGrid(state, FileLength - GridTiles / 2 * bytesPerTile);
}

}  // namespace

BENCHMARK(BM_ReadTilesGrid)->DenseRange(0, ModeCount - 1);
BENCHMARK(BM_ReadTilesGridAtEnd)->DenseRange(0, ModeCount - 1);
