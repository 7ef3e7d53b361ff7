// A child for the crash tests: opens ROM through RomFile, says "ready" once
// the block is made, then writes it at OFFSET in one WriteAt. The test kills
// it at a random point of that write.
#include "core/rom_file.h"
#include "crash_block.h"

#include <algorithm>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s ROM OFFSET SIZE SEED\n", argv[0]);
        return 2;
    }
    RomFile rom;
    if (!rom.Open(argv[1]).Opened())
        return 1;
    const std::vector<std::uint8_t> block = CrashBlock(std::stoul(argv[3]), std::stoul(argv[4]));
    std::puts("ready");
    std::fflush(stdout);
    return rom.WriteAt(std::stoll(argv[2]), block.data(), block.size()) ? 0 : 1;
}
