// The Gameboy global checksum of a 32 MiB file once it is in the page cache:
// block reads, the sum and the progress marks, without any painting. A second
// case adds a progress report that copies each caption, as the window does.
// The repair (sum once, write the two bytes) is measured against a plain
// read pass of the same file, its floor.
#include "model/core/rom_file.h"
#include "model/tools/file_info_report.h"

#include "random_file.h"
#include "read_pass.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::int32_t FileLength = 32 << 20;

// A 32 MiB file of random bytes, made once and removed at exit.
const std::string& BenchFile()
{
    static const RandomFile file("checksum-bench", FileLength, 334);
    return file.Path();
}

void Sum(benchmark::State& state, bool withProgress)
{
    RomFile file;
    if (!file.Open(BenchFile()).Opened() || file.Length() != FileLength) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    std::string caption;
    ChecksumProgressReport progress;
    if (withProgress)
        progress = [&](const ChecksumProgress& step) { caption = step.Caption; };
    SumGameBoyRom(file, FileLength, {});  // brings the file into the page cache
    for (auto _ : state) {
        const ChecksumSum result = SumGameBoyRom(file, FileLength, progress);
        if (!result.Complete)
            state.SkipWithError("the file could not be read to its end");
        benchmark::DoNotOptimize(result.Sum);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{FileLength});
}

void BM_GameBoyChecksum32MiB(benchmark::State& state)
{
    Sum(state, false);
}

void BM_GameBoyChecksum32MiBWithProgress(benchmark::State& state)
{
    Sum(state, true);
}

void BM_ReadPass32MiB(benchmark::State& state)
{
    MeasureReadPass(state, BenchFile());
}

// What brixel-cli checksum --fix does: one sum, then the write of its two
// bytes (journal and sync included).
void BM_GameBoyChecksumFix32MiB(benchmark::State& state)
{
    RomFile file;
    if (!file.Open(BenchFile()).Opened() || !file.IsWritable()) {
        state.SkipWithError("cannot open the benchmark file for writing");
        return;
    }
    for (auto _ : state) {
        const ChecksumSum sum = SumGameBoyRom(file, file.Length(), {});
        if (RepairGameBoyChecksumFromSum(file, file.Length(), sum))
            state.SkipWithError("the checksum was not written");
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{FileLength});
}

}  // namespace

BENCHMARK(BM_ReadPass32MiB)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_GameBoyChecksumFix32MiB)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_GameBoyChecksum32MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GameBoyChecksum32MiBWithProgress)->Unit(benchmark::kMillisecond);
