// The uncompressed FCE Ultra savestate. The input is the whole file. An
// accepted file starts with "FCS" and gives one set whose first 32 colors
// are the NES colors of the 32 bytes after some "PRAM" chunk header in the
// file; the rest is black.

#include "savestate_support.h"

#include <cstring>

namespace {

bool SomePaletteChunkGives(const Bytes& file, const Palette256& colors)
{
    for (std::size_t at = 0; at + 8 + 32 <= file.size(); ++at) {
        if (std::memcmp(file.data() + at, "PRAM", 4) != 0)
            continue;
        std::size_t same = 0;
        while (same < 32 && DistinctNesColors()[file[at + 8 + same] % 64] == colors[same])
            ++same;
        if (same == 32)
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes file(data, data + size);
    const PaletteLoad load = LoadPaletteFile(WriteTempFile("state.fc0", file), FceuxSavestate, DistinctNesColors());
    if (CheckFoundPalette(load, {"FCEUX FCS palette"}, 32, file, &SomePaletteChunkGives))
        CHECK(size >= 16 && std::memcmp(data, "FCS", 3) == 0);
    return 0;
}
