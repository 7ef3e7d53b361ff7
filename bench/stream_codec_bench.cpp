// Packing and unpacking speed of every compression codec, and the packed
// size each reaches on tile-like data (the "ratio" counter: packed bytes
// per unpacked byte). 1 MiB is a whole graphics bank; 64 KiB is what one
// edit's write-back packs.
#include "model/codec/stream_codecs.h"

#include "../tests/support/tile_like_data.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void Pack(benchmark::State& state, const StreamCodec* codec, std::size_t size, bool vramSafe)
{
    const auto input = TileLikeData(size, 7);
    std::size_t packedSize = 0;
    for (auto _ : state) {
        const PackResult packed = codec->Pack(input, PackOptions{vramSafe});
        packedSize = packed.Bytes.size();
        benchmark::DoNotOptimize(packed.Bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["ratio"] = static_cast<double>(packedSize) / static_cast<double>(size);
}

void Unpack(benchmark::State& state, const StreamCodec* codec, std::size_t size)
{
    const auto packed = codec->Pack(TileLikeData(size, 7), PackOptions{});
    for (auto _ : state) {
        const UnpackResult unpacked = codec->Unpack(packed.Bytes, DefaultUnpackLimit);
        benchmark::DoNotOptimize(unpacked.Bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

}  // namespace

int main(int argc, char** argv)
{
    for (const StreamCodec* codec : StreamCodecs()) {
        const std::string name = codec->ShortName;
        for (const std::size_t size : {std::size_t{64} << 10, std::size_t{1} << 20}) {
            const std::string sized = name + "/" + std::to_string(size >> 10) + "KiB";
            benchmark::RegisterBenchmark(("Pack/" + sized).c_str(), Pack, codec, size, true)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("Unpack/" + sized).c_str(), Unpack, codec, size)
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("PackNotVramSafe/" + name + "/1024KiB").c_str(), Pack, codec,
                                     std::size_t{1} << 20, false)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
