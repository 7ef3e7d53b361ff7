// brixel-cli's decode and encode of a 1 MiB Game Boy ROM (65536 tiles, 16
// a row, a 128 x 32768 sheet), in-process, with the file in the page cache:
// decode reads the tiles and writes the PNG file; encode reads the PNG file
// and writes every tile back with one write.
#include "cli/cli.h"
#include "model/core/rom_file.h"

#include "random_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int TileCount = 65536;

const RandomFile& Rom()
{
    static const RandomFile file("cli-bench", std::size_t{TileCount} * 16, 65536);
    return file;
}

std::string PngPath()
{
    return Rom().Path() + ".png";
}

const TileRun Run{ModeGameboy, 0, TileCount, 16};

IndexedImage Sheet(const RomFile& rom)
{
    IndexedImage image;
    DecodeRomTiles(rom, Run, image);
    const Palette256 colors = DefaultWorkingPalette();
    image.Palette.assign(colors.begin(), colors.end());
    return image;
}

void DecodeToPng(benchmark::State& state)
{
    RomFile rom;
    if (!rom.Open(Rom().Path()).Opened()) {
        state.SkipWithError("cannot open the benchmark ROM");
        return;
    }
    for (auto _ : state) {
        const IndexedImage image = Sheet(rom);
        if (WriteIndexedPng(PngPath(), image))
            state.SkipWithError("cannot write the PNG");
    }
}
BENCHMARK(DecodeToPng)->Unit(benchmark::kMillisecond);

void EncodeFromPng(benchmark::State& state)
{
    RomFile rom;
    if (!rom.Open(Rom().Path()).Opened() || WriteIndexedPng(PngPath(), Sheet(rom))) {
        state.SkipWithError("cannot make the benchmark files");
        return;
    }
    // Encoding into a ROM of other bytes, so every iteration writes.
    const RandomFile target("cli-bench-target", std::size_t{TileCount} * 16, 1);
    const std::vector<std::uint8_t> zeros(std::size_t{TileCount} * 16, 0);
    RomFile out;
    if (!out.Open(target.Path()).Opened()) {
        state.SkipWithError("cannot open the target ROM");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        out.WriteAt(0, zeros.data(), zeros.size());
        state.ResumeTiming();
        const Loaded<IndexedImage> image = ReadIndexedPng(PngPath());
        EncodeReport report;
        if (image.Error || EncodeImageIntoRom(image, out, ModeGameboy, 0, false, report) || report.ChangedBytes == 0)
            state.SkipWithError("the encode failed");
    }
    std::remove(PngPath().c_str());
}
BENCHMARK(EncodeFromPng)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
