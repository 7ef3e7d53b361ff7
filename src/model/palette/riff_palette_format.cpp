#include "model/palette/riff_palette_format.h"

#include <algorithm>

const std::array<std::uint8_t, 24> RiffHeader{
    0x52, 0x49, 0x46, 0x46,  // "RIFF"
    0x14, 0x04, 0x00, 0x00,  // 1044 bytes follow
    0x50, 0x41, 0x4C, 0x20,  // "PAL "
    0x64, 0x61, 0x74, 0x61,  // "data"
    0x08, 0x04, 0x00, 0x00,  // chunk of 1032 bytes
    0x00, 0x03,              // version
    0x00, 0x01,              // 256 entries
};

namespace {

UserMessage WrongSize()
{
    return {"Not a 256 color RIFF palette.\rFilesize must be 1052.", "Brixel", MsgIcon::None};
}

// Judged by its size first, so a huge file is never read.
std::optional<UserMessage> RefuseSize(std::int64_t size)
{
    if (size != static_cast<std::int64_t>(RiffPaletteSize))
        return WrongSize();
    return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> BuildRiffPalette(const Palette256& colors)
{
    std::vector<std::uint8_t> bytes(RiffHeader.begin(), RiffHeader.end());
    bytes.reserve(RiffPaletteSize);
    for (const PackedColor color : colors) {
        bytes.push_back(static_cast<std::uint8_t>(RedOf(color)));
        bytes.push_back(static_cast<std::uint8_t>(GreenOf(color)));
        bytes.push_back(static_cast<std::uint8_t>(BlueOf(color)));
        bytes.push_back(0);  // flags
    }
    bytes.resize(RiffPaletteSize, 0);
    return bytes;
}

PaletteLoad ReadRiffPalette(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() != RiffPaletteSize)
        return Refused<PaletteSets>(WrongSize());
    if (!std::equal(RiffHeader.begin(), RiffHeader.end(), bytes.begin()))
        return Refused<PaletteSets>({"Not a 256 color RIFF file.\rWrong header.", "Brixel", MsgIcon::None});
    Palette256 colors{};
    const std::uint8_t* entry = bytes.data() + RiffHeader.size();
    for (PackedColor& color : colors) {
        color = MakePackedColor(entry[0], entry[1], entry[2]);
        entry += 4;
    }
    return OneSetLoad(colors, "RIFF palette");
}

constinit const PaletteFileFormat RiffPaletteFile{
    .Label = "Microsoft RIFF palette file (*.pal)",
    .Patterns = "*.pal",
    .Name = "riff",
    .FileRead = {.ReadLimit = RiffPaletteSize, .RefuseSize = &RefuseSize},
    .ReadBytes = &ReadRiffPalette,
    .Write = [](const ColorSetList& list) { return BuildRiffPalette(SelectedColors(list)); },
};
