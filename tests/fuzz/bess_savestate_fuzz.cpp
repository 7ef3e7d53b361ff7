// The BESS footer of a Game Boy Color savestate. The input is the whole
// file. An accepted file ends in "BESS" and gives the background and then
// the object palette, each 32 colors that some 64 bytes of the file hold as
// 15-bit words with red in the low bits; the rest of each set is black.

#include "savestate_support.h"

#include <cstring>

namespace {

PackedColor GbcColor(const std::uint8_t* at)
{
    const int word = at[0] | at[1] << 8;
    return Rgb((word & 31) * 8, (word >> 5 & 31) * 8, (word >> 10 & 31) * 8);
}

bool FileHolds(const Bytes& file, const Palette256& colors)
{
    for (std::size_t at = 0; at + 64 <= file.size(); ++at) {
        std::size_t same = 0;
        while (same < 32 && GbcColor(file.data() + at + 2 * same) == colors[same])
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
    const PaletteLoad load = LoadPaletteFile(WriteTempFile("state.s0", file), BessSavestate, DistinctNesColors());
    if (CheckFoundPalette(load, {"BESS BG palette", "BESS OBJ palette"}, 32, file, &FileHolds))
        CHECK(size >= 8 && std::memcmp(data + size - 4, "BESS", 4) == 0);
    return 0;
}
