// Decoding and encoding speed of one tile in every graphics mode. The
// figures are bytes of tile data per second.
#include "model/core/mode_table.h"
#include "model/core/tile_codec.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int TilesPerRound = 256;  // one largest browser grid

std::vector<std::uint8_t> RandomBytes(std::size_t length)
{
    std::mt19937 random(42);
    std::vector<std::uint8_t> bytes(length);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

void BM_DecodeTile(benchmark::State& state)
{
    const auto mode = static_cast<std::uint8_t>(state.range(0));
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    const auto bytes = RandomBytes(static_cast<std::size_t>(TilesPerRound) * bytesPerTile);
    std::vector<std::uint8_t> pixels(TilesPerRound * TilePixelCount);
    for (auto _ : state) {
        for (int t = 0; t < TilesPerRound; ++t)
            DecodeTile(mode, bytes.data() + t * bytesPerTile, pixels.data() + t * TilePixelCount);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * TilesPerRound * bytesPerTile);
    state.SetLabel(std::string(StandardModes[mode].Name));
}

void BM_EncodeTile(benchmark::State& state)
{
    const auto mode = static_cast<std::uint8_t>(state.range(0));
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    const auto pixels = RandomBytes(static_cast<std::size_t>(TilesPerRound) * TilePixelCount);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(TilesPerRound) * bytesPerTile);
    for (auto _ : state) {
        for (int t = 0; t < TilesPerRound; ++t)
            EncodeTile(mode, pixels.data() + t * TilePixelCount, bytes.data() + t * bytesPerTile);
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * TilesPerRound * bytesPerTile);
    state.SetLabel(std::string(StandardModes[mode].Name));
}

}  // namespace

BENCHMARK(BM_DecodeTile)->DenseRange(0, ModeCount - 1);
BENCHMARK(BM_EncodeTile)->DenseRange(0, ModeCount - 1);
