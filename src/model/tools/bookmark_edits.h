#pragma once

#include "model/tools/bookmark_file.h"

#include <cstdint>
#include <string>

struct ProgramState;

// The bookmark tool's changes of its list, each one step of the state's
// history. Each leaves the list sorted by its order, as the tool shows it.

// "add bookmark": AddBookmark; false, and no step, when the list is full.
bool AddBookmarkAsStep(ProgramState& state, std::int32_t address, const std::string& description);
// "delete bookmark": DeleteBookmark; false for a row outside the list.
bool DeleteBookmarkAsStep(ProgramState& state, int row);
// "rename bookmark": RenameBookmark; false when the list is empty.
bool RenameBookmarkAsStep(ProgramState& state, const std::string& description);
// "new bookmark list": ClearBookmarks.
void ClearBookmarksAsStep(ProgramState& state);
// "bookmark load": ApplyBookmarkLoad.
void StoreLoadedBookmarksAsStep(ProgramState& state, const BookmarkLoad& load);
// "bookmark order": the list sorted by addresses or by descriptions.
void SetBookmarkOrderAsStep(ProgramState& state, BookmarkOrder order);
