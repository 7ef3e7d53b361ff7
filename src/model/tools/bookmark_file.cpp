#include "model/tools/bookmark_file.h"

#include "model/core/byte_order.h"
#include "model/core/file_io.h"
#include "model/core/number_text.h"

#include <algorithm>
#include <array>
#include <utility>

const UserMessage BookmarkListFull{"The bookmark list is full: it holds at most 255 bookmarks.\r"
                                   "Delete a bookmark before you add another one.",
                                   "Bookmark list full", MsgIcon::Information};
const UserMessage BookmarkNotDisplayable{"The browser was not able to display the selected bookmark.",
                                         "Could not goto bookmark", MsgIcon::None};

namespace {

constexpr std::array<std::uint8_t, 3> Magic{'B', 'X', 'B'};
constexpr std::size_t AddressBytes = 4;

const UserMessage WrongHeader{"Wrong header bytes", "Not a bookmark file", MsgIcon::Critical};

// Bigger files are refused rather than read in part.
std::optional<UserMessage> RefuseSize(std::int64_t size)
{
    if (static_cast<std::uint64_t>(size) > BookmarkReadLimit)
        return UserMessage{"The selected file is too large for a bookmark file.", "Loading process aborted",
                           MsgIcon::Critical};
    return std::nullopt;
}

// Character codes compared as unsigned bytes, so codes above 127 sort last.
bool DescriptionLess(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

bool KeyLess(const BookmarkRecord& a, const BookmarkRecord& b, BookmarkOrder order)
{
    return order == BookmarkOrder::Address ? a.Address < b.Address : DescriptionLess(a.Description, b.Description);
}

// A selection left past the end (after a delete or a load) would name a
// bookmark that is no longer listed.
void KeepSelectionInList(BookmarkList& list)
{
    if (list.SelectedIndex >= list.Count())
        list.SelectedIndex = list.Marks.empty() ? 0 : static_cast<std::uint8_t>(list.Count() - 1);
}

}  // namespace

std::int32_t BookmarkAddressOf(std::string_view fieldText)
{
    return RoundHalfEven(ReadLenientNumber(fieldText));
}

bool AddBookmark(BookmarkList& list, std::int32_t address, const std::string& description)
{
    if (list.Marks.size() >= MaxBookmarkCount)
        return false;
    list.Marks.push_back({address, description.empty() ? std::string("No description") : description});
    list.SelectedIndex = 0;
    return true;
}

bool DeleteBookmark(BookmarkList& list, int row)
{
    if (row < 0 || row >= static_cast<int>(list.Marks.size()))
        return false;
    std::swap(list.Marks[static_cast<std::size_t>(row)], list.Marks.back());
    list.Marks.pop_back();
    KeepSelectionInList(list);
    return true;
}

bool SelectBookmark(BookmarkList& list, int row)
{
    if (row < 0 || row >= static_cast<int>(list.Marks.size()))
        return false;
    list.SelectedIndex = static_cast<std::uint8_t>(row);
    return true;
}

const BookmarkRecord* SelectedBookmark(const BookmarkList& list)
{
    if (list.SelectedIndex >= list.Marks.size())
        return nullptr;
    return &list.Marks[list.SelectedIndex];
}

bool RenameBookmark(BookmarkList& list, const std::string& description)
{
    if (list.SelectedIndex >= list.Marks.size())
        return false;
    list.Marks[list.SelectedIndex].Description = description;
    return true;
}

void ClearBookmarks(BookmarkList& list)
{
    list.Marks.clear();
    KeepSelectionInList(list);
}

void SortBookmarks(BookmarkList& list)
{
    // The exchange sort users know: equal keys keep the order it gives them.
    std::vector<BookmarkRecord>& marks = list.Marks;
    for (std::size_t i = 0; i < marks.size(); ++i)
        for (std::size_t j = i; j < marks.size(); ++j)
            if (KeyLess(marks[j], marks[i], list.Order))
                std::swap(marks[i], marks[j]);
}

std::string BookmarkRowText(const BookmarkRecord& record, BookmarkOrder order, bool hex)
{
    const std::string address = AddressText(record.Address, hex);
    if (order == BookmarkOrder::Address)
        return address + " (" + record.Description + ")";
    return record.Description + " (" + address + ")";
}

std::vector<std::string> BookmarkRows(const BookmarkList& list, bool hex)
{
    std::vector<std::string> rows;
    rows.reserve(list.Marks.size());
    for (const BookmarkRecord& record : list.Marks)
        rows.push_back(BookmarkRowText(record, list.Order, hex));
    return rows;
}

bool BookmarkDisplayable(std::int32_t address, std::int32_t fileLength, int bytesPerTile)
{
    return address >= 0 && static_cast<std::int64_t>(fileLength) - bytesPerTile >= address;
}

std::vector<std::uint8_t> BuildBookmarkFile(const BookmarkList& list)
{
    std::vector<std::uint8_t> bytes(Magic.begin(), Magic.end());
    for (const BookmarkRecord& record : list.Marks) {
        const std::string& text = record.Description;
        bytes.insert(bytes.end(), text.begin(), std::find(text.begin(), text.end(), '\0'));
        bytes.push_back(0);
        std::array<std::uint8_t, AddressBytes> address{};
        WriteLe32(address.data(), static_cast<std::uint32_t>(record.Address));
        bytes.insert(bytes.end(), address.begin(), address.end());
    }
    return bytes;
}

BookmarkLoad ReadBookmarkFile(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < Magic.size() || !std::equal(Magic.begin(), Magic.end(), bytes.begin())) {
        BookmarkLoad refused = Refused<BookmarkFileContent>(WrongHeader);
        refused.EmptiesList = true;
        return refused;
    }
    BookmarkLoad load{};
    auto position = bytes.begin() + Magic.size();
    while (position != bytes.end()) {
        const auto terminator = std::find(position, bytes.end(), 0);
        if (terminator == bytes.end() || bytes.end() - (terminator + 1) < static_cast<std::ptrdiff_t>(AddressBytes))
            break;  // cut short: the record is dropped
        const auto address = static_cast<std::int32_t>(ReadLe32(&*(terminator + 1)));
        if (load.Marks.size() < MaxBookmarkCount)
            load.Marks.push_back({address, std::string(position, terminator)});
        else
            ++load.LeftOut;
        position = terminator + 1 + AddressBytes;
    }
    return load;
}

BookmarkLoad LoadBookmarkFile(const std::string& path)
{
    // A folder or another entry that is no file is reported as not found.
    const Loaded<FileBytes> file =
        LoadFileBytes(path, {.ReadLimit = BookmarkReadLimit, .RefuseSize = &RefuseSize, .OnlyRegularFilesExist = true});
    if (file.Error)
        return Refused<BookmarkFileContent>(*file.Error);
    return ReadBookmarkFile(file.Bytes);
}

void ApplyBookmarkLoad(BookmarkList& list, const BookmarkLoad& load)
{
    if (load.Error) {
        if (load.EmptiesList)
            ClearBookmarks(list);
        return;
    }
    list.Marks = load.Marks;
    KeepSelectionInList(list);
}

std::optional<UserMessage> LeftOutMessage(std::size_t leftOut)
{
    if (leftOut == 0)
        return std::nullopt;
    return UserMessage{"The bookmark list holds at most 255 bookmarks. The first 255 bookmarks of the file were "
                       "loaded; " +
                           std::to_string(leftOut) + (leftOut == 1 ? " bookmark was" : " bookmarks were") +
                           " left out.",
                       "Bookmark list full", MsgIcon::Information};
}

std::optional<UserMessage> SaveBookmarkFile(const std::string& path, const BookmarkList& list)
{
    const auto failure = WriteFileAtomically(path, BuildBookmarkFile(list));
    if (!failure)
        return std::nullopt;
    return UserMessage{"Could not save the bookmark file '" + path + "': " + *failure + ".", "Saving failed",
                       MsgIcon::Critical};
}
