#pragma once

#include "model/core/loaded.h"
#include "model/core/pattern_list.h"
#include "model/editor/editor_slots.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Document;

// Captures the editor's addresses as a new last pattern (an unbound cell
// is stored as EmptySlot); an empty description becomes "No description".
// False, and nothing changes, with AddPatternLimit patterns present.
bool AddPattern(PatternList& list, const EditorSlotTable& slots, const std::string& description);

// Removes pattern index; the later ones move down. False for an index not
// in use.
bool DeletePattern(PatternList& list, int index);

// Gives pattern index a new description (an empty one stays empty).
bool RenamePattern(PatternList& list, int index, const std::string& description);

// Binds every editor cell to the pattern's address. With reload each cell
// is then read from the open file, or blanked when it has no address;
// without it pixels stay as they are.
void ApplyPattern(Document& document, const AddressPattern& pattern, bool reload);

// ".eap" files: "BXA", then per pattern its description, a 0 byte and 256
// little-endian addresses; negative addresses are written as FF FF FF FF.
inline constexpr std::size_t PatternRecordAddressBytes = EditorSlotCount * 4;
std::vector<std::uint8_t> BuildPatternFile(const PatternList& list);

// Only this much of a file is read, far more than 64 records of the longest
// description the window can hold; records past it count as cut short.
inline constexpr std::size_t PatternFileReadLimit = 16 * 1024 * 1024;

// What a load found. With WrongMagic the list is to be emptied; with any
// other Error (a missing or unreadable file) it stays as it was.
struct PatternFileContent {
    std::vector<AddressPattern> Patterns;
    bool WrongMagic = false;
};
using PatternLoad = Loaded<PatternFileContent>;

// The complete records, at most 64; a record cut short is dropped. A
// file of fewer than three bytes or another magic gives WrongMagic.
PatternLoad ReadPatternFile(const std::vector<std::uint8_t>& bytes);

// Reads and parses a pattern file; a wrong magic carries its message too.
PatternLoad LoadPatternFile(const std::string& path);

// Writes the list with WriteFileAtomically; the message to show when that
// fails.
std::optional<UserMessage> SavePatternFile(const std::string& path, const PatternList& list);

// The list after a load: the loaded patterns replace it (none for a wrong
// magic). A failed load leaves it alone.
void StoreLoadedPatterns(PatternList& list, const PatternLoad& load);
