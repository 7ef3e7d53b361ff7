#pragma once

#include "model/core/bookmark_list.h"
#include "model/core/color_set_list.h"
#include "model/core/pattern_list.h"

#include <cstdint>
#include <optional>
#include <vector>

// What one step did to the stored lists, kept small: the rows of a table
// that differ, with both versions, and the counts around them. A list's
// selection is where the user points, not what was made, so a change of it
// alone is no change; a step that changes a list takes it along.

template <class Row> struct RowChange {
    int Index = 0;
    Row Before{};
    Row After{};
};

struct ColorSetsChange {
    std::vector<RowChange<ColorSetEntry>> Rows;
    std::uint8_t CountBefore = 0;
    std::uint8_t CountAfter = 0;
    std::uint8_t SelectedBefore = 0;
    std::uint8_t SelectedAfter = 0;
};

struct PatternsChange {
    std::vector<RowChange<AddressPattern>> Rows;
    std::int16_t CountBefore = 0;
    std::int16_t CountAfter = 0;
};

// The bookmark list is short: both versions whole.
struct BookmarksChange {
    BookmarkList Before;
    BookmarkList After;
};

// Whether two lists hold the same rows and count (and order), whatever is
// selected.
bool SameContent(const ColorSetList& a, const ColorSetList& b);
bool SameContent(const PatternList& a, const PatternList& b);
bool SameContent(const BookmarkList& a, const BookmarkList& b);

// The change from before to after; nullopt when the content is the same.
std::optional<ColorSetsChange> ChangeBetween(const ColorSetList& before, const ColorSetList& after);
std::optional<PatternsChange> ChangeBetween(const PatternList& before, const PatternList& after);
std::optional<BookmarksChange> ChangeBetween(const BookmarkList& before, const BookmarkList& after);

// Puts the Before side (undo) or the After side of a change into the list.
void PutSide(ColorSetList& list, const ColorSetsChange& change, bool before);
void PutSide(PatternList& list, const PatternsChange& change, bool before);
void PutSide(BookmarkList& list, const BookmarksChange& change, bool before);
