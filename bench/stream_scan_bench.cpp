// The stream scan over a 32 MiB ROM file on two threads: every codec of the
// list at once and each on its own, at their aligned addresses. The ROM is
// random bytes with streams of every codec planted in it (tile-like data
// each codec packed); "Mixed" puts raw tile-like graphics and zero and 0xFF
// padding beside the random bytes, as ROMs have, which the formats without
// a header read far into. Counters: "found" streams listed, "planted" of
// the planted ones found at their address with their codec, "cpu_ms" the
// processor time of both threads together per scan.
#include "model/codec/stream_codecs.h"
#include "model/codec/stream_scan.h"
#include "model/core/rom_file.h"

#include "../tests/support/tile_like_data.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::size_t RomSize = std::size_t{32} << 20;
constexpr std::size_t PlantEvery = std::size_t{3} << 19;  // 1.5 MiB: 21 streams fit
constexpr std::size_t PlantSizes[] = {std::size_t{2} << 10, std::size_t{8} << 10, std::size_t{32} << 10};

struct Planted {
    std::int64_t Address;
    const StreamCodec* Codec;
};

// A ROM file, removed when it goes.
class BenchRom {
public:
    BenchRom(const std::string& name, bool mixed)
        : path_((std::filesystem::temp_directory_path() /
                 ("brixel-scan-" + name + "-" + std::to_string(::getpid()) + ".bin"))
                    .string())
    {
        std::vector<std::uint8_t> bytes = RandomData(RomSize, 5);
        if (mixed) {
            const std::vector<std::uint8_t> tiles = TileLikeData(RomSize / 4, 6);
            std::copy(tiles.begin(), tiles.end(), bytes.begin() + RomSize / 2);
            std::fill_n(bytes.begin() + RomSize / 4, RomSize / 8, 0x00);
            std::fill_n(bytes.begin() + RomSize / 4 + RomSize / 8, RomSize / 8, 0xFF);
        }
        std::size_t address = 0x100;
        for (const StreamCodec* codec : StreamCodecs()) {
            for (const std::size_t size : PlantSizes) {
                const PackResult packed = codec->Pack(TileLikeData(size, static_cast<unsigned>(address)), {});
                if (!packed || address + packed.Bytes.size() > RomSize)
                    continue;
                std::copy(packed.Bytes.begin(), packed.Bytes.end(), bytes.begin() + static_cast<long>(address));
                planted_.push_back({static_cast<std::int64_t>(address), codec});
                address += PlantEvery;
            }
        }
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        rom_.Open(path_);
    }
    ~BenchRom()
    {
        rom_.Close();
        std::filesystem::remove(path_);
    }
    BenchRom(const BenchRom&) = delete;
    BenchRom& operator=(const BenchRom&) = delete;

    const RomFile& Rom() const { return rom_; }
    const std::vector<Planted>& PlantedStreams() const { return planted_; }

private:
    std::string path_;
    RomFile rom_;
    std::vector<Planted> planted_;
};

const BenchRom& RomOf(bool mixed)
{
    static const BenchRom random("random", false);
    static const BenchRom mixedRom("mixed", true);
    return mixed ? mixedRom : random;
}

// CPU seconds of every thread of the process, so that the time two cores
// would take can be told on a machine shared with other work.
double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void Scan(benchmark::State& state, std::vector<const StreamCodec*> codecs, bool mixed, bool everyAddress)
{
    const BenchRom& rom = RomOf(mixed);
    const RomFileSource source(rom.Rom());
    StreamScanOptions options;
    options.Threads = 2;
    options.EveryAddress = everyAddress;
    const std::atomic<bool> never{false};
    StreamScanResult result;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state)
        result = ScanForStreams(source, codecs, options, never);
    state.counters["cpu_ms"] = (ProcessCpuSeconds() - cpuBefore) * 1000 / static_cast<double>(state.iterations());
    std::size_t planted = 0;
    for (const Planted& p : rom.PlantedStreams()) {
        if (std::find(codecs.begin(), codecs.end(), p.Codec) == codecs.end())
            continue;
        planted += std::any_of(result.Streams.begin(), result.Streams.end(), [&](const FoundStream& found) {
            return found.Address == p.Address && found.Codec == p.Codec;
        });
    }
    state.counters["found"] = static_cast<double>(result.Streams.size());
    state.counters["planted"] = static_cast<double>(planted);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * RomSize));
}

// The engine alone: a codec whose Probe passes nowhere, at every address.
const StreamCodec NoStream{
    "None", "none", 1, nullptr, nullptr, [](std::span<const std::uint8_t>) { return std::optional<std::size_t>(); }};

void Register(const std::string& name, std::vector<const StreamCodec*> codecs, bool mixed, bool everyAddress)
{
    benchmark::RegisterBenchmark(name.c_str(), Scan, std::move(codecs), mixed, everyAddress)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2);
}

}  // namespace

int main(int argc, char** argv)
{
    const auto all = StreamCodecs();
    Register("ProbeOnly/every-address", {&NoStream}, false, true);
    if (!all.empty()) {
        Register("All/random", {all.begin(), all.end()}, false, false);
        Register("All/mixed", {all.begin(), all.end()}, true, false);
    }
    for (const StreamCodec* codec : all) {
        Register(std::string("One/") + codec->ShortName + "/random", {codec}, false, false);
        Register(std::string("One/") + codec->ShortName + "/mixed", {codec}, true, false);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
