#include "model/palette/act_palette_format.h"

#include <string>

namespace {

PaletteLoad NotAct(const std::string& reason)
{
    return Refused<PaletteSets>({"Not an Adobe color table.\r" + reason, "Brixel", MsgIcon::None});
}

std::string WrongSizeText(std::int64_t size)
{
    return "Filesize must be 768 or 772 bytes, not " + std::to_string(size) + ".";
}

bool IsActSize(std::int64_t size)
{
    return size == static_cast<std::int64_t>(ActColorBytes) ||
           size == static_cast<std::int64_t>(ActColorBytes + ActTrailerBytes);
}

// Judged by its size first, so a huge file is never read.
std::optional<UserMessage> RefuseSize(std::int64_t size)
{
    if (IsActSize(size))
        return std::nullopt;
    return NotAct(WrongSizeText(size)).Error;
}

}  // namespace

std::vector<std::uint8_t> BuildActPalette(const Palette256& colors)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(ActColorBytes);
    for (const PackedColor color : colors) {
        bytes.push_back(static_cast<std::uint8_t>(RedOf(color)));
        bytes.push_back(static_cast<std::uint8_t>(GreenOf(color)));
        bytes.push_back(static_cast<std::uint8_t>(BlueOf(color)));
    }
    return bytes;
}

PaletteLoad ReadActPalette(const std::vector<std::uint8_t>& bytes)
{
    if (!IsActSize(static_cast<std::int64_t>(bytes.size())))
        return NotAct(WrongSizeText(static_cast<std::int64_t>(bytes.size())));
    std::size_t count = Palette256{}.size();
    if (bytes.size() > ActColorBytes) {
        count = static_cast<std::size_t>(bytes[ActColorBytes] << 8 | bytes[ActColorBytes + 1]);
        if (count == 0 || count > Palette256{}.size())
            return NotAct("The number of colors must be 1 to 256, not " + std::to_string(count) + ".");
    }
    Palette256 colors{};
    for (std::size_t i = 0; i < count; ++i)
        colors[i] = MakePackedColor(bytes[i * 3], bytes[i * 3 + 1], bytes[i * 3 + 2]);
    return OneSetLoad(colors, "ACT palette");
}

constinit const PaletteFileFormat ActPaletteFile{
    .Label = "Adobe Color Table file (*.act)",
    .Patterns = "*.act",
    .Name = "act",
    .FileRead = {.ReadLimit = ActColorBytes + ActTrailerBytes, .RefuseSize = &RefuseSize},
    .ReadBytes = &ReadActPalette,
    .Write = [](const ColorSetList& list) { return BuildActPalette(SelectedColors(list)); },
};
