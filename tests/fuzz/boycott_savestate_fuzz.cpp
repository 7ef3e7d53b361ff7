// The Boycott Advance savestate: a gzip stream (a plain file is read as it
// is) whose decompressed bytes from 297421 on hold two sets of 256 15-bit
// SNES words. The input is the file itself. It is decompressed here once
// more with inflate: an accepted file must give exactly the colors of the
// decompressed bytes at the offset, and a file every reader understands the
// same way (plain data, or one complete gzip member with nothing after it)
// is accepted exactly when its stream reaches past the palette.

#include "fuzz_support.h"
#include "savestate_support.h"

#include <zlib.h>

#include <algorithm>

namespace {

constexpr std::size_t Offset = 297421;
constexpr std::size_t Needed = Offset + 2 * 256 * 2;
// A small input can inflate to a great deal; past this much it counts as
// not understood the same way by every reader, and nothing is expected.
constexpr std::size_t InflateLimit = 16 * 1024 * 1024;

struct Stream {
    Bytes Data;          // the decompressed stream, at most Needed bytes of it
    bool Exact = false;  // plain data, or one complete and well-formed gzip member
};

bool GzipMagicAt(const std::uint8_t* data, std::size_t size)
{
    return size >= 2 && data[0] == 0x1F && data[1] == 0x8B;
}

Stream Decompress(const std::uint8_t* data, std::size_t size)
{
    Stream stream;
    if (!GzipMagicAt(data, size)) {
        stream.Data.assign(data, data + std::min(size, Needed));
        stream.Exact = true;
        return stream;
    }
    z_stream z{};
    CHECK(inflateInit2(&z, 16 + MAX_WBITS) == Z_OK);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    std::uint8_t chunk[16384];
    std::size_t total = 0;
    int members = 0;
    bool ended = false;
    while (total <= InflateLimit) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        const int result = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = sizeof chunk - z.avail_out;
        stream.Data.insert(stream.Data.end(), chunk, chunk + std::min(produced, Needed - stream.Data.size()));
        total += produced;
        if (result == Z_STREAM_END) {
            ++members;
            if (GzipMagicAt(z.next_in, z.avail_in)) {
                inflateReset(&z);
                continue;
            }
            ended = true;
            break;
        }
        if (result != Z_OK)
            break;  // corrupt, or cut short
    }
    stream.Exact = ended && members == 1 && z.avail_in == 0;
    inflateEnd(&z);
    return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SavestateLayout layout{&BoycottSavestate,
                                        0,
                                        static_cast<std::int64_t>(Offset),
                                        256,
                                        StoredColor::Bgr15,
                                        {"Boycott Advance OBJ palette", "Boycott Advance BG palette"}};
    const PaletteLoad load =
        LoadPaletteFile(WriteTempFile("savestate.cot", data, size), BoycottSavestate, DistinctNesColors());
    const Stream stream = Decompress(data, size);
    const bool reachesPalette = stream.Data.size() >= Needed;

    if (load.Error) {
        CHECK(load.Sets.empty());
        CHECK(!(stream.Exact && reachesPalette));
        return 0;
    }
    CHECK(reachesPalette);
    CheckPalette(load, layout, stream.Data.data() + Offset);
    return 0;
}
