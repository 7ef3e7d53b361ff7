// What the rollback journal costs: a tile written with RomFile::WriteAt
// (journal made and synced, its folder synced, the block written and synced,
// the journal removed) against a bare pwrite and a pwrite with one sync;
// and Save all's 256 tiles as 256 separate writes, in one write group, and in
// a group told the tiles ahead. The file lies in BRIXEL_BENCH_DIR when set
// (the cost is the disk's), else in the temporary folder.
#include "model/core/rom_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::int32_t FileLength = 12 << 20;
constexpr int Tiles = 256;
constexpr std::size_t TileBytes = 16;

class BenchRom {
public:
    BenchRom()
    {
        const char* dir = std::getenv("BRIXEL_BENCH_DIR");
        path_ = ((dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) /
                 ("brixel-rom-write-" + std::to_string(::getpid()) + ".gb"))
                    .string();
        std::vector<char> bytes(FileLength, 0x5A);
        std::ofstream(path_, std::ios::binary).write(bytes.data(), FileLength);
    }
    ~BenchRom() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The tile addresses of a Save all: one in every 16 KiB stretch.
std::vector<ByteRange> SaveAllTiles()
{
    std::mt19937 random(11);
    std::vector<ByteRange> tiles;
    for (int i = 0; i < Tiles; ++i)
        tiles.push_back({i * (FileLength / Tiles) + 16 * static_cast<std::int64_t>(random() % 1024), TileBytes});
    return tiles;
}

bool OpenOrSkip(RomFile& file, const BenchRom& rom, benchmark::State& state)
{
    if (file.Open(rom.Path()).Status == RomFile::OpenStatus::Opened)
        return true;
    state.SkipWithError("cannot open the benchmark file");
    return false;
}

// The plain positional write of a tile, without (0) and with (1) a sync of
// the file after it: what the journal's costs compare with.
void BM_PwriteOfATile(benchmark::State& state)
{
    const BenchRom rom;
    const bool sync = state.range(0) != 0;
    const int fd = ::open(rom.Path().c_str(), O_RDWR);
    std::uint8_t tile[TileBytes] = {};
    for (auto _ : state) {
        ++tile[0];
        benchmark::DoNotOptimize(::pwrite(fd, tile, TileBytes, 4096));
        if (sync)
            ::fdatasync(fd);
    }
    ::close(fd);
}
BENCHMARK(BM_PwriteOfATile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_WriteAtOfATileWithJournal(benchmark::State& state)
{
    const BenchRom rom;
    RomFile file;
    if (!OpenOrSkip(file, rom, state))
        return;
    std::uint8_t tile[TileBytes] = {};
    for (auto _ : state) {
        ++tile[0];
        if (!file.WriteAt(4096, tile, TileBytes))
            state.SkipWithError("the write was refused");
    }
}
BENCHMARK(BM_WriteAtOfATileWithJournal)->Unit(benchmark::kMillisecond);

// range(0): 0 = separate writes, 1 = one group, 2 = one group told the tiles ahead.
void BM_SaveAllOf256Tiles(benchmark::State& state)
{
    const BenchRom rom;
    RomFile file;
    if (!OpenOrSkip(file, rom, state))
        return;
    const std::vector<ByteRange> tiles = SaveAllTiles();
    std::uint8_t tile[TileBytes] = {};
    for (auto _ : state) {
        ++tile[0];
        std::optional<RomFile::WriteGroup> group;
        if (state.range(0) == 1)
            group.emplace(file);
        if (state.range(0) == 2)
            group.emplace(file, tiles);
        for (const ByteRange& range : tiles)
            if (!file.WriteAt(range.Offset, tile, TileBytes))
                state.SkipWithError("the write was refused");
    }
}
BENCHMARK(BM_SaveAllOf256Tiles)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// One command-line encode of a large block: journal and block of 8 MiB.
void BM_WriteAtOf8MiBWithJournal(benchmark::State& state)
{
    const BenchRom rom;
    RomFile file;
    if (!OpenOrSkip(file, rom, state))
        return;
    std::vector<std::uint8_t> block(8 << 20);
    for (auto _ : state) {
        ++block[0];
        if (!file.WriteAt(0, block.data(), block.size()))
            state.SkipWithError("the write was refused");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(block.size()));
}
BENCHMARK(BM_WriteAtOf8MiBWithJournal)->Unit(benchmark::kMillisecond);

}  // namespace
