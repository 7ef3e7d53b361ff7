#pragma once

#include "model/core/rom_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The floor a whole-file pass is measured against: the file read in 1 MiB
// blocks and each block folded into one word with a loop the compiler
// vectorises, so that the bytes are really touched.
inline std::uint64_t ReadPass(const RomFile& file)
{
    constexpr std::size_t block = std::size_t{1} << 20;
    std::vector<std::uint64_t> words(block / 8);
    std::uint64_t fold = 0;
    for (std::int64_t at = 0; at < file.Length(); at += static_cast<std::int64_t>(block)) {
        const std::size_t got = file.ReadAt(at, reinterpret_cast<std::uint8_t*>(words.data()), block);
        for (std::size_t i = 0; i < got / 8; ++i)
            fold ^= words[i];
    }
    return fold;
}

// The read pass as a benchmark of its own, run beside the pass it floors.
inline void MeasureReadPass(benchmark::State& state, const std::string& path)
{
    RomFile file;
    if (!file.Open(path).Opened()) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadPass(file));
    state.SetBytesProcessed(state.iterations() * file.Length());
}
