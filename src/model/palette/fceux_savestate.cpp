#include "model/palette/savestate_reading.h"
#include "model/palette/savestates.h"

#include "model/core/byte_order.h"
#include "model/core/file_io.h"

#include <cstring>

namespace {

// A 16-byte header starting with "FCS", then sections of a one-byte kind and
// a 32-bit size that counts the section's own 5-byte header. Inside, named
// chunks of a 4-byte name and a 32-bit data size that does not count the
// chunk's 8-byte header.
constexpr std::size_t HeaderSize = 16;
constexpr std::size_t SectionHeaderSize = 5;
constexpr std::size_t ChunkHeaderSize = 8;
constexpr std::uint8_t PpuSection = 3;
constexpr char PaletteChunk[4] = {'P', 'R', 'A', 'M'};
constexpr int PaletteIndexCount = 32;

// Savestates are tens of kilobytes; the whole file is read and walked, so a
// larger one is refused before any buffer is made.
constexpr std::size_t MaxFileSize = 4 * 1024 * 1024;

constexpr PaletteLayout FceuxPalette{0, PaletteIndexCount, Conversion::Nes, "FCEUX FCS palette", nullptr};

PaletteLoad NoPalette()
{
    return RefusedSavestate("Not an uncompressed FCE Ultra savestate.\rNo PPU palette was found.");
}

// The offset of the PRAM chunk's data within the PPU section [begin, end),
// or 0 when the section has none.
std::size_t FindPaletteChunk(const std::vector<std::uint8_t>& file, std::size_t begin, std::size_t end)
{
    std::size_t at = begin;
    while (end - at >= ChunkHeaderSize) {
        const std::size_t length = ReadLe32(file.data() + at + 4);
        const std::size_t data = at + ChunkHeaderSize;
        if (length > end - data)
            return 0;
        if (std::memcmp(file.data() + at, PaletteChunk, sizeof PaletteChunk) == 0)
            return length >= PaletteIndexCount ? data : 0;
        at = data + length;
    }
    return 0;
}

PaletteLoad ReadFceux(const std::string& path, const NesColorTable& nesColors)
{
    const auto size = FileSize(path);
    if (!size)
        return Refused<PaletteSets>(FileUnreadableMessage);
    if (*size < static_cast<std::int64_t>(HeaderSize))
        return RefusedSavestate("Not an FCE Ultra savestate.\rFilesize is too small.");
    if (*size > static_cast<std::int64_t>(MaxFileSize))
        return RefusedSavestate("Not an FCE Ultra savestate.\rFilesize is too large.");
    const auto file = ReadFileBytes(path, MaxFileSize);
    if (!file)
        return Refused<PaletteSets>(FileUnreadableMessage);
    if (file->size() < HeaderSize || std::memcmp(file->data(), "FCS", 3) != 0)
        return RefusedSavestate("Not an FCE Ultra savestate.\rWrong header bytes.");

    std::size_t at = HeaderSize;
    while (file->size() - at >= SectionHeaderSize) {
        const std::size_t length = ReadLe32(file->data() + at + 1);
        if (length < SectionHeaderSize || length > file->size() - at)
            return NoPalette();
        if ((*file)[at] == PpuSection) {
            const std::size_t data = FindPaletteChunk(*file, at + SectionHeaderSize, at + length);
            if (data == 0)
                return NoPalette();
            const std::vector<std::uint8_t> indices(file->begin() + static_cast<std::ptrdiff_t>(data),
                                                    file->begin() +
                                                        static_cast<std::ptrdiff_t>(data + PaletteIndexCount));
            return DecodeSets(indices, FceuxPalette, nesColors);
        }
        at += length;
    }
    return NoPalette();
}

}  // namespace

constinit const PaletteFileFormat FceuxSavestate{
    .Label = "FCE Ultra Savestates (*.fc?)",
    .Patterns = "*.fc?",
    .Name = "fceux",
    .ReadFile = &ReadFceux,
};
