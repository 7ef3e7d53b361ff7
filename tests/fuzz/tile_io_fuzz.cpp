// ReadTiles and WriteTile on a small ROM, with fuzzed mode, address and
// count. Input: mode (1 byte; 240 and above are used as they are, unknown
// modes, the rest taken modulo 12), address (4 bytes, little-endian; kept to
// 16 bits unless the next byte is odd, so most addresses fall near the
// file), a flags byte, count (2 bytes, modulo 301, negative allowed), 64
// pixels, then the ROM's bytes (at most 8 KiB).
//
// Checks: ReadTiles gives what a byte-by-byte reading of the row buffer rule
// and a bit-by-bit decoder give, and touches no entry past the count; a
// closed file reads as 0; WriteTile writes exactly when the block lies
// inside the file, changes only that block, to the bit-by-bit encoding, and
// never the file's length; RomFile::WriteAt likewise for a raw block.

#include "model/core/mode_table.h"
#include "core/reference_codec.h"
#include "model/core/rom_file.h"
#include "model/core/tile_io.h"
#include "fuzz_support.h"

#include <algorithm>

namespace {

constexpr std::size_t HeaderBytes = 8;
constexpr std::size_t MaxRom = 8192;
constexpr std::uint8_t Untouched = 0xA5;

// The row buffer position each byte of a tile passes through.
int Position(std::uint8_t mode, int k)
{
    switch (mode) {
    case ModeGameboy:
    case ModeNeoGeoPocket:
    case ModeSnes4bpp:
    case ModeSnes8bpp:
        return k % 2;
    case ModeNes:
        return k < 8 ? 0 : 1;
    case ModeSnes3bpp:
        return k < 16 ? k % 2 : 0;
    case ModeGgMsWsc:
        return k % 4;
    default:
        return 0;
    }
}

// The run as ReadTiles must see it: bytes outside the file repeat the last
// value of their row buffer position, or 0.
Bytes RunAsRead(std::uint8_t mode, std::int64_t address, int count, const Bytes& rom)
{
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    Bytes run(static_cast<std::size_t>(count) * bytesPerTile);
    std::uint8_t rowBuffer[4] = {0, 0, 0, 0};
    for (std::size_t k = 0; k < run.size(); ++k) {
        const int position = Position(mode, static_cast<int>(k % bytesPerTile));
        const std::int64_t at = address + static_cast<std::int64_t>(k);
        if (at >= 0 && at < static_cast<std::int64_t>(rom.size()))
            rowBuffer[position] = rom[static_cast<std::size_t>(at)];
        run[k] = rowBuffer[position];
    }
    return run;
}

void CheckRead(const RomFile& file, std::uint8_t mode, std::int32_t address, int count, const Bytes& rom)
{
    const std::size_t entries = static_cast<std::size_t>(std::max(count, 0)) * 64;
    Bytes destination(entries + 64, Untouched);
    ReadTiles(file, mode, address, count, destination.data());
    CHECK(std::all_of(destination.begin() + static_cast<std::ptrdiff_t>(entries), destination.end(),
                      [](std::uint8_t entry) { return entry == Untouched; }));
    if (count <= 0)
        return;
    if (!IsValidMode(mode) || !file.IsOpen()) {
        CHECK(std::all_of(destination.begin(), destination.begin() + static_cast<std::ptrdiff_t>(entries),
                          [](std::uint8_t entry) { return entry == 0; }));
        return;
    }
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    const Bytes run = RunAsRead(mode, address, count, rom);
    const int limit = 1 << StandardModes[mode].BitsPerPixel;
    for (int t = 0; t < count; ++t) {
        const auto begin = run.begin() + static_cast<std::ptrdiff_t>(t) * bytesPerTile;
        const auto expected = ReferenceDecode(mode, Bytes(begin, begin + bytesPerTile));
        const std::uint8_t* got = destination.data() + static_cast<std::ptrdiff_t>(t) * 64;
        CHECK(std::equal(expected.begin(), expected.end(), got));
        CHECK(std::all_of(got, got + 64, [limit](std::uint8_t pixel) { return pixel < limit; }));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t header[HeaderBytes] = {};
    std::copy_n(data, std::min(size, HeaderBytes), header);
    const std::uint8_t mode = header[0] >= 240 ? header[0] : header[0] % ModeCount;
    const auto raw = static_cast<std::int32_t>(header[1] | header[2] << 8 | header[3] << 16 |
                                               static_cast<std::uint32_t>(header[4]) << 24);
    const std::int32_t address = (header[5] & 1) != 0 ? raw : static_cast<std::int16_t>(raw);
    const int count = static_cast<std::int16_t>(header[6] | header[7] << 8) % 301;
    std::array<std::uint8_t, 64> pixels{};
    Bytes rom;
    if (size > HeaderBytes) {
        const std::size_t rest = size - HeaderBytes;
        std::copy_n(data + HeaderBytes, std::min<std::size_t>(rest, 64), pixels.begin());
        if (rest > 64)
            rom.assign(data + HeaderBytes + 64, data + HeaderBytes + 64 + std::min(rest - 64, MaxRom));
    }

    RomFile closed;
    CheckRead(closed, mode, address, count, rom);

    const std::string path = WriteTempFile("rom.bin", rom);
    RomFile file;
    CHECK(file.Open(path).Status == RomFile::OpenStatus::Opened);
    CHECK(file.Length() == static_cast<std::int32_t>(rom.size()));
    CheckRead(file, mode, address, count, rom);

    // WriteTile: the block inside the file, or nothing at all.
    Bytes expected = rom;
    const bool written = static_cast<bool>(WriteTile(file, mode, address, pixels));
    if (IsValidMode(mode)) {
        const int bytesPerTile = StandardModes[mode].BytesPerTile;
        const bool inside =
            address >= 0 && static_cast<std::int64_t>(address) + bytesPerTile <= static_cast<std::int64_t>(rom.size());
        CHECK(written == inside);
        if (inside) {
            const Bytes block = ReferenceEncode(mode, pixels);
            std::copy(block.begin(), block.end(), expected.begin() + address);
            CheckRead(file, mode, address, 1, expected);
        }
    } else {
        CHECK(!written);
    }
    CHECK(FileContents(path) == expected);

    // WriteAt: a block of count bytes at the address.
    if (count > 0) {
        Bytes block(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<std::uint8_t>(pixels[i % 64] ^ i);
        const bool inside =
            address >= 0 && static_cast<std::int64_t>(address) + count <= static_cast<std::int64_t>(rom.size());
        CHECK(static_cast<bool>(file.WriteAt(address, block.data(), block.size())) == inside);
        if (inside)
            std::copy(block.begin(), block.end(), expected.begin() + address);
        CHECK(FileContents(path) == expected);
    }
    return 0;
}
