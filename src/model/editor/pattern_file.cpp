#include "model/editor/pattern_file.h"

#include "model/core/byte_order.h"
#include "model/core/document.h"
#include "model/core/file_io.h"
#include "model/core/tile_io.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::array<std::uint8_t, 3> Magic{'B', 'X', 'A'};

const UserMessage WrongHeader{"Wrong header bytes", "Not an editor address pattern file", MsgIcon::Critical};

// Any address whose top byte has the sign bit set reads as EmptySlot, so a
// file never gives a negative address other than that marker.
std::int32_t ReadAddress(const std::uint8_t* bytes)
{
    if (bytes[3] >= 0x80)
        return EmptySlot;
    return static_cast<std::int32_t>(ReadLe32(bytes));
}

}  // namespace

bool AddPattern(PatternList& list, const EditorSlotTable& slots, const std::string& description)
{
    if (list.PatternCount >= AddPatternLimit)
        return false;
    AddressPattern& pattern = list.Patterns[list.PatternCount];
    pattern.Description = description.empty() ? "No description" : description;
    for (int i = 0; i < EditorSlotCount; ++i) {
        const std::int32_t address = slots[i].Address;
        pattern.Addresses[i] = address == UnboundTile ? EmptySlot : address;
    }
    ++list.PatternCount;
    return true;
}

bool DeletePattern(PatternList& list, int index)
{
    if (index < 0 || index >= list.PatternCount)
        return false;
    std::move(list.Patterns.begin() + index + 1, list.Patterns.begin() + list.PatternCount,
              list.Patterns.begin() + index);
    --list.PatternCount;
    return true;
}

bool RenamePattern(PatternList& list, int index, const std::string& description)
{
    if (index < 0 || index >= list.PatternCount)
        return false;
    list.Patterns[index].Description = description;
    return true;
}

void ApplyPattern(Document& document, const AddressPattern& pattern, bool reload)
{
    for (int i = 0; i < EditorSlotCount; ++i) {
        EditorSlot& slot = document.EditorSlots[i];
        slot.Address = pattern.Addresses[i];
        // Pixels that stay are not the tile at the new address: written
        // later, they go in the mode current then.
        slot.Mode.reset();
        slot.Source = document.ShownSource;
        // Unless read, the pixels are not yet the tile at the new address.
        slot.Edited = !reload;
        if (!reload)
            continue;
        if (slot.Address < 0)
            slot.Pixels.fill(0);
        else {
            ReadTiles(document.Tiles(), document.CurrentMode, slot.Address, 1, slot.Pixels.data());
            slot.Mode = document.CurrentMode;
        }
    }
}

std::vector<std::uint8_t> BuildPatternFile(const PatternList& list)
{
    std::vector<std::uint8_t> bytes(Magic.begin(), Magic.end());
    for (int p = 0; p < list.PatternCount; ++p) {
        const AddressPattern& pattern = list.Patterns[p];
        // A 0 byte inside a description would end it early on reading.
        const std::string& text = pattern.Description;
        bytes.insert(bytes.end(), text.begin(), std::find(text.begin(), text.end(), '\0'));
        bytes.push_back(0);
        for (const std::int32_t address : pattern.Addresses) {
            std::uint8_t field[4];
            WriteLe32(field, address < 0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(address));
            bytes.insert(bytes.end(), field, field + 4);
        }
    }
    return bytes;
}

PatternLoad ReadPatternFile(const std::vector<std::uint8_t>& bytes)
{
    PatternLoad load{};
    if (bytes.size() < Magic.size() || !std::equal(Magic.begin(), Magic.end(), bytes.begin())) {
        load.WrongMagic = true;
        return load;
    }
    auto position = bytes.begin() + Magic.size();
    while (position != bytes.end() && load.Patterns.size() < static_cast<std::size_t>(MaxPatternCount)) {
        const auto terminator = std::find(position, bytes.end(), 0);
        if (terminator == bytes.end() ||
            static_cast<std::size_t>(bytes.end() - terminator - 1) < PatternRecordAddressBytes)
            break;  // cut short: not counted
        AddressPattern pattern;
        pattern.Description.assign(position, terminator);
        const std::uint8_t* field = &*(terminator + 1);
        for (std::int32_t& address : pattern.Addresses) {
            address = ReadAddress(field);
            field += 4;
        }
        load.Patterns.push_back(std::move(pattern));
        position = terminator + 1 + static_cast<std::ptrdiff_t>(PatternRecordAddressBytes);
    }
    return load;
}

PatternLoad LoadPatternFile(const std::string& path)
{
    const Loaded<FileBytes> file = LoadFileBytes(path, {.ReadLimit = PatternFileReadLimit});
    if (file.Error)
        return Refused<PatternFileContent>(*file.Error);
    PatternLoad load = ReadPatternFile(file.Bytes);
    if (load.WrongMagic)
        load.Error = WrongHeader;
    return load;
}

std::optional<UserMessage> SavePatternFile(const std::string& path, const PatternList& list)
{
    const auto failure = WriteFileAtomically(path, BuildPatternFile(list));
    if (!failure)
        return std::nullopt;
    return UserMessage{"Could not save the editor address pattern file '" + path + "': " + *failure + ".",
                       "Saving failed", MsgIcon::Critical};
}

void StoreLoadedPatterns(PatternList& list, const PatternLoad& load)
{
    if (load.Error && !load.WrongMagic)
        return;
    const std::size_t count = std::min(load.Patterns.size(), static_cast<std::size_t>(MaxPatternCount));
    std::copy_n(load.Patterns.begin(), count, list.Patterns.begin());
    list.PatternCount = static_cast<std::int16_t>(count);
}
