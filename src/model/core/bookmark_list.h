#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The bookmark tool's named file addresses, as data; their operations and
// file live with the tools.

// The count is 8 bits wide, so the list holds at most this many bookmarks.
inline constexpr std::size_t MaxBookmarkCount = 255;

struct BookmarkRecord {
    std::int32_t Address = 0;
    std::string Description;

    bool operator==(const BookmarkRecord&) const = default;
};

enum class BookmarkOrder { Address, Description };

struct BookmarkList {
    std::vector<BookmarkRecord> Marks;  // table order; at most MaxBookmarkCount
    std::uint8_t SelectedIndex = 0;     // the row last clicked
    BookmarkOrder Order = BookmarkOrder::Address;

    std::uint8_t Count() const { return static_cast<std::uint8_t>(Marks.size()); }

    bool operator==(const BookmarkList&) const = default;
};
