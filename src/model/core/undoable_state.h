#pragma once

#include "model/core/document.h"

#include <string>

// The parts of the document the history puts back: the editor cells, the
// working palette and the three stored lists. The file's bytes are kept by
// the steps' writes; the graphics mode only sets how the browser reads.
struct UndoableState {
    EditorSlotTable Cells{};
    WorkingPaletteTable Palette{};
    ColorSetList Sets;
    PatternList Patterns;
    BookmarkList Bookmarks;
};

// Copies those parts of the document into state.
void TakeUndoableState(const Document& document, UndoableState& state);

// The first of those parts in which the document differs from state, named
// for a developer ("editor cell 7", "color set 2"); empty when none does.
// The lists' selections are not compared.
std::string FirstDifference(const UndoableState& state, const Document& document);
