#include "palette/palette_files.h"

#include "core/file_io.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

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

constexpr std::array<std::uint8_t, 3> OwnMagic{'B', 'X', 'P'};
constexpr std::size_t OwnColorBytes = 256 * 3;
constexpr std::size_t TileLayerColors = 16;

const UserMessage WrongOwnHeader{"Wrong header bytes", "Not a palette file", MsgIcon::Critical};
const UserMessage WrongRiffSize{"Not a 256 color RIFF palette.\rFilesize must be 1052.", "Brixel", MsgIcon::None};
const UserMessage WrongRiffHeader{"Not a 256 color RIFF file.\rWrong header.", "Brixel", MsgIcon::None};
const UserMessage FileMissing{"Could not find the selected file.", "Loading process aborted", MsgIcon::None};
const UserMessage FileUnreadable{"Could not read the selected file.", "Loading process aborted", MsgIcon::Critical};

PaletteLoad Refused(const UserMessage& message)
{
    PaletteLoad load;
    load.Error = message;
    return load;
}

PaletteLoad OneSet(const Palette256& colors, const char* description)
{
    PaletteLoad load;
    load.Sets.push_back({colors, description});
    return load;
}

// A 6-bit channel as 8 bits: v * 4.1 in integers, so 10 gives exactly 41.
int FromSixBits(std::uint8_t value)
{
    return value > 62 ? 255 : value * 41 / 10;
}

// The file's first bytes, at most limit of them.
std::optional<std::vector<std::uint8_t>> ReadPrefix(const std::string& path, std::int64_t size, std::size_t limit)
{
    return ReadFileRange(path, 0, static_cast<std::size_t>(std::min<std::int64_t>(size, limit)));
}

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
        return Refused(WrongOwnHeader);
    PaletteLoad load;
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
        return Refused(WrongRiffSize);
    if (!std::equal(RiffHeader.begin(), RiffHeader.end(), bytes.begin()))
        return Refused(WrongRiffHeader);
    Palette256 colors{};
    const std::uint8_t* entry = bytes.data() + RiffHeader.size();
    for (PackedColor& color : colors) {
        color = MakePackedColor(entry[0], entry[1], entry[2]);
        entry += 4;
    }
    return OneSet(colors, "RIFF palette");
}

std::vector<std::uint8_t> BuildTileLayerPalette(const Palette256& colors)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(TileLayerPaletteSize);
    for (std::size_t i = 0; i < TileLayerColors; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(RedOf(colors[i]) / 4));
        bytes.push_back(static_cast<std::uint8_t>(GreenOf(colors[i]) / 4));
        bytes.push_back(static_cast<std::uint8_t>(BlueOf(colors[i]) / 4));
    }
    return bytes;
}

PaletteLoad ReadTileLayerPalette(const std::vector<std::uint8_t>& bytes)
{
    // The format has no header or size to check: any file loads, and the
    // bytes a short one lacks read as 0.
    auto channel = [&](std::size_t index) { return FromSixBits(index < bytes.size() ? bytes[index] : 0); };
    Palette256 colors{};
    for (std::size_t i = 0; i < TileLayerColors; ++i)
        colors[i] = MakePackedColor(channel(i * 3), channel(i * 3 + 1), channel(i * 3 + 2));
    return OneSet(colors, "Tile Layer palette");
}

PaletteLoad LoadPaletteFile(const std::string& path, PaletteFileFormat format)
{
    if (format != PaletteFileFormat::Own && format != PaletteFileFormat::Riff && format != PaletteFileFormat::TileLayer)
        return {};
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error))
        return Refused(FileMissing);
    // A folder or other non-regular entry exists but cannot be read.
    const auto size = FileSize(path);
    if (!size)
        return Refused(FileUnreadable);

    std::optional<std::vector<std::uint8_t>> bytes;
    switch (format) {
    case PaletteFileFormat::Own:
        bytes = ReadPrefix(path, *size, OwnPaletteReadLimit);
        break;
    case PaletteFileFormat::Riff:
        // Judged by its size first, so a huge file is never read.
        if (*size != static_cast<std::int64_t>(RiffPaletteSize))
            return Refused(WrongRiffSize);
        bytes = ReadPrefix(path, *size, RiffPaletteSize);
        break;
    default:
        bytes = ReadPrefix(path, *size, TileLayerPaletteSize);
        break;
    }
    if (!bytes)
        return Refused(FileUnreadable);

    switch (format) {
    case PaletteFileFormat::Own:
        return ReadOwnPaletteFile(*bytes);
    case PaletteFileFormat::Riff:
        return ReadRiffPalette(*bytes);
    default:
        return ReadTileLayerPalette(*bytes);
    }
}

std::optional<UserMessage> SavePaletteFile(const std::string& path, PaletteFileFormat format, const ColorSetList& list)
{
    const Palette256& selected = list.ColorSets[list.SelectedSet].Colors;
    std::optional<std::string> failure;
    switch (format) {
    case PaletteFileFormat::Own:
        failure = WriteFileAtomically(path, BuildOwnPaletteFile(list));
        break;
    case PaletteFileFormat::Riff:
        failure = WriteFileAtomically(path, BuildRiffPalette(selected));
        break;
    case PaletteFileFormat::TileLayer:
        failure = WriteFileAtomically(path, BuildTileLayerPalette(selected));
        break;
    default:
        // Savestates are only read; nothing is written.
        failure = "the format cannot be saved";
        break;
    }
    if (!failure)
        return std::nullopt;
    return UserMessage{"Could not save the palette file '" + path + "': " + *failure + ".", "Saving failed",
                       MsgIcon::Critical};
}
