#include "model/palette/savestate_reading.h"
#include "model/palette/savestates.h"

#include "model/core/byte_order.h"
#include "model/core/file_io.h"

#include <cstring>
#include <optional>

namespace {

// The footer: the offset of the first block, then the magic.
constexpr std::int64_t FooterSize = 8;
constexpr std::int64_t BlockHeaderSize = 8;

// The part of the CORE block this reader needs: versions, model, registers,
// and the size and offset pairs of the memory areas, the palettes last.
constexpr std::size_t CoreSize = 0xD0;
constexpr std::size_t CoreModel = 0x04;
constexpr std::size_t CoreBackgroundSize = 0xC0;
constexpr std::size_t CoreBackgroundOffset = 0xC4;
constexpr std::size_t CoreObjectSize = 0xC8;
constexpr std::size_t CoreObjectOffset = 0xCC;

// CORE comes first or after NAME; unknown blocks before it are allowed, but
// a file with many is no savestate worth walking.
constexpr int MaxBlocksBeforeCore = 64;

constexpr int ColorsPerPalette = 32;  // 8 palettes of 4 colors
constexpr std::int64_t PaletteSize = ColorsPerPalette * 2;

constexpr PaletteLayout BackgroundPalette{0, ColorsPerPalette, Conversion::Bgr15, "BESS BG palette", nullptr};
constexpr PaletteLayout ObjectPalette{0, ColorsPerPalette, Conversion::Bgr15, "BESS OBJ palette", nullptr};

PaletteLoad NotBess()
{
    return RefusedSavestate("Not a BESS savestate.\rThe file has no valid BESS footer.");
}

bool HasId(const std::vector<std::uint8_t>& header, const char* id)
{
    return std::memcmp(header.data(), id, 4) == 0;
}

// The CORE block's bytes, or why the file is refused. Blocks lie between
// the first block and the footer; a block running past the footer is bad.
struct CoreBlock {
    std::vector<std::uint8_t> Bytes;
    std::optional<PaletteLoad> Refusal;
};

CoreBlock FindCore(const std::string& path, std::int64_t firstBlock, std::int64_t footerStart)
{
    std::int64_t at = firstBlock;
    for (int block = 0; block <= MaxBlocksBeforeCore; ++block) {
        if (at + BlockHeaderSize > footerStart)
            return {{}, NotBess()};
        const auto header = ReadFileRange(path, at, BlockHeaderSize);
        if (!header)
            return {{}, Refused<PaletteSets>(FileUnreadableMessage)};
        if (header->size() != BlockHeaderSize)
            return {{}, NotBess()};
        const std::int64_t length = ReadLe32(header->data() + 4);
        const std::int64_t data = at + BlockHeaderSize;
        if (length > footerStart - data || HasId(*header, "END "))
            return {{}, NotBess()};
        if (HasId(*header, "CORE")) {
            if (length < static_cast<std::int64_t>(CoreSize))
                return {{}, RefusedSavestate("Not a BESS savestate.\rIts CORE block is too short.")};
            auto core = ReadFileRange(path, data, CoreSize);
            if (!core)
                return {{}, Refused<PaletteSets>(FileUnreadableMessage)};
            if (core->size() != CoreSize)
                return {{}, NotBess()};
            return {std::move(*core), std::nullopt};
        }
        at = data + length;
    }
    return {{}, NotBess()};
}

// Reads one palette named by its size and offset in the CORE block.
PaletteLoad ReadPalette(const std::string& path, const std::vector<std::uint8_t>& core, std::size_t sizeField,
                        std::size_t offsetField, std::int64_t fileSize, PaletteLayout layout,
                        const NesColorTable& nesColors)
{
    const std::int64_t size = ReadLe32(core.data() + sizeField);
    layout.Offset = ReadLe32(core.data() + offsetField);
    if (size < PaletteSize)
        return RefusedSavestate("Not a Game Boy Color savestate.\rThe palette sizes must be 64 bytes.");
    if (layout.Offset > fileSize - PaletteSize)
        return RefusedSavestate("Not a BESS savestate.\rA palette offset lies outside the file.");
    return ReadPaletteAt(path, layout, nesColors);
}

PaletteLoad ReadBess(const std::string& path, const NesColorTable& nesColors)
{
    const auto size = FileSize(path);
    if (!size)
        return Refused<PaletteSets>(FileUnreadableMessage);
    if (*size < FooterSize)
        return NotBess();
    const std::int64_t footerStart = *size - FooterSize;
    const auto footer = ReadFileRange(path, footerStart, FooterSize);
    if (!footer)
        return Refused<PaletteSets>(FileUnreadableMessage);
    if (footer->size() != FooterSize || std::memcmp(footer->data() + 4, "BESS", 4) != 0)
        return NotBess();

    const CoreBlock core = FindCore(path, ReadLe32(footer->data()), footerStart);
    if (core.Refusal)
        return *core.Refusal;
    if (ReadLe16(core.Bytes.data()) != 1)
        return RefusedSavestate("Not a BESS savestate.\rIts major version must be 1.");
    if (core.Bytes[CoreModel] != 'C')
        return RefusedSavestate("Not a Game Boy Color savestate.\rThe BESS model must be CGB.");

    PaletteLoad load =
        ReadPalette(path, core.Bytes, CoreBackgroundSize, CoreBackgroundOffset, *size, BackgroundPalette, nesColors);
    if (load.Error)
        return load;
    PaletteLoad objects =
        ReadPalette(path, core.Bytes, CoreObjectSize, CoreObjectOffset, *size, ObjectPalette, nesColors);
    if (objects.Error)
        return objects;
    load.Sets.push_back(std::move(objects.Sets.front()));
    return load;
}

}  // namespace

constinit const PaletteFileFormat BessSavestate{
    .Label = "BESS Game Boy Color Savestates (*.s?,*.ss?)",
    .Patterns = "*.s?;*.ss?",
    .Name = "bess",
    .ReadFile = &ReadBess,
    .RoomBelow = MaxSetCount - 1,  // two sets
};
