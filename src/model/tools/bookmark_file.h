#pragma once

#include "model/core/bookmark_list.h"
#include "model/core/loaded.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The bookmark tool's list of named file addresses, its two sort orders, the
// texts of its rows and its file (.bmk): "BXB", then per bookmark the
// description (8-bit characters), a 0 byte and the address as 4 bytes, least
// significant first. There is no count; the file ends after the last record.

// Only files up to this size are read. Every file the tool writes fits: 255
// records whose descriptions come from a field of at most 32767 characters.
inline constexpr std::size_t BookmarkReadLimit = 16 * 1024 * 1024;

extern const UserMessage BookmarkListFull;
extern const UserMessage BookmarkNotDisplayable;

// The address a text of the control panel's address field stands for: read
// leniently, rounded to the nearest integer (halves to even).
std::int32_t BookmarkAddressOf(std::string_view fieldText);

// Appends a bookmark ("No description" for an empty description) and selects
// index 0. False, and nothing added, when the list is full.
bool AddBookmark(BookmarkList& list, std::int32_t address, const std::string& description);

// Exchanges the bookmark at row with the last one and drops the last. Does
// nothing for a row outside the list. The selection stays inside the list.
bool DeleteBookmark(BookmarkList& list, int row);

// Selects a row; false for a row outside the list.
bool SelectBookmark(BookmarkList& list, int row);

// The selected bookmark; null when the list is empty.
const BookmarkRecord* SelectedBookmark(const BookmarkList& list);

// Gives the selected bookmark a new description; false when the list is empty.
bool RenameBookmark(BookmarkList& list, const std::string& description);

// Empties the list.
void ClearBookmarks(BookmarkList& list);

// Sorts the table ascending by the list's order: addresses as signed 32-bit
// numbers, descriptions by character code (so upper case sorts before lower
// case). Equal keys end up as the exchange sort leaves them.
void SortBookmarks(BookmarkList& list);

// "16 (Font)" in address order, "Font (16)" in description order.
std::string BookmarkRowText(const BookmarkRecord& record, BookmarkOrder order, bool hex = false);

// The rows of the list in table order.
std::vector<std::string> BookmarkRows(const BookmarkList& list, bool hex = false);

// Whether the browser can show a bookmark: it lies inside the file with room
// for one tile of the mode. A negative address is never shown.
bool BookmarkDisplayable(std::int32_t address, std::int32_t fileLength, int bytesPerTile);

// "BXB" and every bookmark in table order. A description is written up to a
// 0 byte it might hold, since that byte ends it on reading.
std::vector<std::uint8_t> BuildBookmarkFile(const BookmarkList& list);

// What a load found: the complete records, at most MaxBookmarkCount; how
// many complete records did not fit; or the reason it refused the file.
struct BookmarkFileContent {
    std::vector<BookmarkRecord> Marks;
    std::size_t LeftOut = 0;
    bool EmptiesList = false;  // a refusal that still empties the list (wrong header)
};
using BookmarkLoad = Loaded<BookmarkFileContent>;

// Reads untrusted bytes. A record cut short by the end is dropped.
BookmarkLoad ReadBookmarkFile(const std::vector<std::uint8_t>& bytes);

// Reads a file; a missing, unreadable or oversized file gives its message.
BookmarkLoad LoadBookmarkFile(const std::string& path);

// Puts what a load found into the list: the records replace it, a wrong
// header empties it, any other refusal leaves it.
void ApplyBookmarkLoad(BookmarkList& list, const BookmarkLoad& load);

// The note for records that did not fit; nullopt when none were left out.
std::optional<UserMessage> LeftOutMessage(std::size_t leftOut);

// Writes the list with WriteFileAtomically; the message when that fails.
std::optional<UserMessage> SaveBookmarkFile(const std::string& path, const BookmarkList& list);
