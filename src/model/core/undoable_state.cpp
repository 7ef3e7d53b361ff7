#include "model/core/undoable_state.h"

#include <cstddef>

namespace {

// The first index at which two tables differ, as "what index"; empty when
// they are equal.
template <class Table> std::string FirstRow(const Table& kept, const Table& now, const char* what)
{
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (!(kept[i] == now[i]))
            return what + (" " + std::to_string(i));
    return {};
}

}  // namespace

void TakeUndoableState(const Document& document, UndoableState& state)
{
    state.Cells = document.EditorSlots;
    state.Palette = document.WorkingPalette;
    state.Sets = document.Sets;
    state.Patterns = document.Patterns;
    state.Bookmarks = document.Bookmarks;
}

std::string FirstDifference(const UndoableState& state, const Document& document)
{
    std::string found = FirstRow(state.Cells, document.EditorSlots, "editor cell");
    if (found.empty())
        found = FirstRow(state.Palette, document.WorkingPalette, "working palette entry");
    if (found.empty() && state.Sets.SetCount != document.Sets.SetCount)
        found = "the number of color sets";
    if (found.empty())
        found = FirstRow(state.Sets.ColorSets, document.Sets.ColorSets, "color set");
    if (found.empty() && state.Patterns.PatternCount != document.Patterns.PatternCount)
        found = "the number of patterns";
    if (found.empty())
        found = FirstRow(state.Patterns.Patterns, document.Patterns.Patterns, "pattern");
    if (found.empty() && state.Bookmarks.Order != document.Bookmarks.Order)
        found = "the bookmark order";
    if (found.empty() && state.Bookmarks.Marks.size() != document.Bookmarks.Marks.size())
        found = "the number of bookmarks";
    if (found.empty())
        found = FirstRow(state.Bookmarks.Marks, document.Bookmarks.Marks, "bookmark");
    return found;
}
