#include "model/palette/own_palette_format.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::uint8_t, 3> OwnMagic{'B', 'X', 'P'};
constexpr std::size_t OwnColorBytes = 256 * 3;

}  // namespace

std::vector<std::uint8_t> BuildOwnPaletteFile(const ColorSetList& list)
{
    std::vector<std::uint8_t> bytes(OwnMagic.begin(), OwnMagic.end());
    for (int set = 0; set < list.SetCount; ++set) {
        const ColorSetEntry& entry = list.ColorSets[set];
        // A 0 byte inside a description would end it early on reading.
        const std::string& text = entry.Description;
        bytes.insert(bytes.end(), text.begin(), std::find(text.begin(), text.end(), '\0'));
        bytes.push_back(0);
        for (const PackedColor color : entry.Colors) {
            bytes.push_back(static_cast<std::uint8_t>(RedOf(color)));
            bytes.push_back(static_cast<std::uint8_t>(GreenOf(color)));
            bytes.push_back(static_cast<std::uint8_t>(BlueOf(color)));
        }
    }
    return bytes;
}

PaletteLoad ReadOwnPaletteFile(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < OwnMagic.size() || !std::equal(OwnMagic.begin(), OwnMagic.end(), bytes.begin()))
        return Refused<PaletteSets>({"Wrong header bytes", "Not a palette file", MsgIcon::Critical});
    PaletteLoad load{};
    auto position = bytes.begin() + OwnMagic.size();
    while (position != bytes.end() && load.Sets.size() < static_cast<std::size_t>(MaxSetCount)) {
        const auto terminator = std::find(position, bytes.end(), 0);
        if (terminator == bytes.end() || static_cast<std::size_t>(bytes.end() - terminator - 1) < OwnColorBytes)
            break;  // cut short: not counted
        ColorSetEntry entry;
        entry.Description.assign(position, terminator);
        auto color = terminator + 1;
        for (PackedColor& target : entry.Colors) {
            target = MakePackedColor(color[0], color[1], color[2]);
            color += 3;
        }
        load.Sets.push_back(std::move(entry));
        position = color;
    }
    return load;
}

constinit const PaletteFileFormat OwnPaletteFile{
    .Label = "Brixel palette file (*.bxp)",
    .Patterns = "*.bxp",
    .Name = "bxp",
    .FileRead = {.ReadLimit = OwnPaletteReadLimit},
    .ReadBytes = &ReadOwnPaletteFile,
    .Write = &BuildOwnPaletteFile,
    .ReplacesList = true,
};
