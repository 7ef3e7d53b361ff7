#include "model/core/list_changes.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

template <class Row, std::size_t Size>
std::vector<RowChange<Row>> RowsBetween(const std::array<Row, Size>& before, const std::array<Row, Size>& after)
{
    // Rows past the count are compared too: a delete moves a row there, and
    // undo must find it where it was.
    std::vector<RowChange<Row>> rows;
    for (std::size_t i = 0; i < Size; ++i)
        if (!(before[i] == after[i]))
            rows.push_back({static_cast<int>(i), before[i], after[i]});
    return rows;
}

template <class Row, std::size_t Size>
void PutRows(std::array<Row, Size>& table, const std::vector<RowChange<Row>>& rows, bool before)
{
    for (const RowChange<Row>& row : rows)
        table[row.Index] = before ? row.Before : row.After;
}

}  // namespace

bool SameContent(const ColorSetList& a, const ColorSetList& b)
{
    return a.SetCount == b.SetCount && a.ColorSets == b.ColorSets;
}

bool SameContent(const PatternList& a, const PatternList& b)
{
    return a.PatternCount == b.PatternCount && a.Patterns == b.Patterns;
}

bool SameContent(const BookmarkList& a, const BookmarkList& b)
{
    return a.Order == b.Order && a.Marks == b.Marks;
}

std::optional<ColorSetsChange> ChangeBetween(const ColorSetList& before, const ColorSetList& after)
{
    if (SameContent(before, after))
        return std::nullopt;
    return ColorSetsChange{RowsBetween(before.ColorSets, after.ColorSets), before.SetCount, after.SetCount,
                           before.SelectedSet, after.SelectedSet};
}

std::optional<PatternsChange> ChangeBetween(const PatternList& before, const PatternList& after)
{
    if (SameContent(before, after))
        return std::nullopt;
    return PatternsChange{RowsBetween(before.Patterns, after.Patterns), before.PatternCount, after.PatternCount};
}

std::optional<BookmarksChange> ChangeBetween(const BookmarkList& before, const BookmarkList& after)
{
    if (SameContent(before, after))
        return std::nullopt;
    return BookmarksChange{before, after};
}

void PutSide(ColorSetList& list, const ColorSetsChange& change, bool before)
{
    PutRows(list.ColorSets, change.Rows, before);
    list.SetCount = before ? change.CountBefore : change.CountAfter;
    list.SelectedSet = before ? change.SelectedBefore : change.SelectedAfter;
}

void PutSide(PatternList& list, const PatternsChange& change, bool before)
{
    PutRows(list.Patterns, change.Rows, before);
    list.PatternCount = before ? change.CountBefore : change.CountAfter;
}

void PutSide(BookmarkList& list, const BookmarksChange& change, bool before)
{
    list = before ? change.Before : change.After;
}
