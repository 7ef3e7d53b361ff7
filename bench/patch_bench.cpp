// Making IPS and BPS patches of 10,000 scattered changes in a 64 MiB ROM in
// the page cache. IPS addresses only the first 16 MiB, so its changes lie
// there; the BPS changes spread over the whole file. BPS reads the file in
// full only for the CRC of the file as opened, once per open ("cold"); later
// patches ("known source CRC") derive both CRCs from the changed runs. A
// read pass of the file is the floor of the cold case.
#include "model/core/rom_file.h"
#include "model/tools/bps_patch.h"
#include "model/tools/ips_patch.h"
#include "model/tools/rom_patch.h"

#include "random_file.h"
#include "read_pass.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr std::int32_t FileLength = 64 << 20;
constexpr int ChangeCount = 10000;

const std::string& BenchFile()
{
    static const RandomFile file("patch-bench", FileLength, 4711);
    return file.Path();
}

// Changes at random offsets below limit: each original is recorded as the
// byte's complement, so every offset counts as changed without writing.
OriginalByteMap ScatteredChanges(const RomFile& file, std::int64_t limit)
{
    std::mt19937 random(99);
    OriginalByteMap originals;
    while (originals.Size() < ChangeCount) {
        const std::int64_t offset = random() % limit;
        std::uint8_t current = 0;
        file.ReadAt(offset, &current, 1);
        originals.Record(offset, static_cast<std::uint8_t>(~current));
    }
    return originals;
}

// cold: each patch starts from a map that has not kept the CRC of the
// file as opened.
void MakePatch(benchmark::State& state, const PatchFileFormat& format, std::int64_t limit, bool cold = false)
{
    RomFile file;
    if (!file.Open(BenchFile()).Opened() || file.Length() != FileLength) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    const OriginalByteMap fresh = ScatteredChanges(file, limit);
    OriginalByteMap originals = fresh;
    BpsPatchFormat.Build(file, originals);  // brings the file into the page cache
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            originals = fresh;
            state.ResumeTiming();
        }
        const PatchFile patch = format.Build(file, originals);
        if (!patch.Made())
            state.SkipWithError(patch.Refusal.c_str());
        benchmark::DoNotOptimize(patch.Bytes.data());
    }
}

void BM_IpsPatch10000ChangesIn64MiB(benchmark::State& state)
{
    MakePatch(state, IpsPatchFormat, 16 << 20);
}

void BM_BpsPatch10000ChangesIn64MiBKnownSourceCrc(benchmark::State& state)
{
    MakePatch(state, BpsPatchFormat, FileLength);
}

void BM_BpsPatch10000ChangesIn64MiBCold(benchmark::State& state)
{
    MakePatch(state, BpsPatchFormat, FileLength, true);
}

void BM_ReadPass64MiB(benchmark::State& state)
{
    MeasureReadPass(state, BenchFile());
}

}  // namespace

BENCHMARK(BM_IpsPatch10000ChangesIn64MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BpsPatch10000ChangesIn64MiBKnownSourceCrc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BpsPatch10000ChangesIn64MiBCold)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadPass64MiB)->Unit(benchmark::kMillisecond);
