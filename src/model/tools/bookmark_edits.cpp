#include "model/tools/bookmark_edits.h"

#include "model/core/program_state.h"

namespace {

// Runs edit on the list as one step and sorts the list within it.
template <class Edit> auto SortedStep(ProgramState& state, const char* name, Edit&& edit)
{
    return RecordStep(state.Recorder, name, [&] {
        const auto result = edit(state.Bookmarks);
        SortBookmarks(state.Bookmarks);
        return result;
    });
}

}  // namespace

bool AddBookmarkAsStep(ProgramState& state, std::int32_t address, const std::string& description)
{
    return SortedStep(state, "add bookmark",
                      [&](BookmarkList& list) { return AddBookmark(list, address, description); });
}

bool DeleteBookmarkAsStep(ProgramState& state, int row)
{
    return SortedStep(state, "delete bookmark", [&](BookmarkList& list) { return DeleteBookmark(list, row); });
}

bool RenameBookmarkAsStep(ProgramState& state, const std::string& description)
{
    return SortedStep(state, "rename bookmark", [&](BookmarkList& list) { return RenameBookmark(list, description); });
}

void ClearBookmarksAsStep(ProgramState& state)
{
    SortedStep(state, "new bookmark list", [](BookmarkList& list) {
        ClearBookmarks(list);
        return true;
    });
}

void StoreLoadedBookmarksAsStep(ProgramState& state, const BookmarkLoad& load)
{
    SortedStep(state, "bookmark load", [&](BookmarkList& list) {
        ApplyBookmarkLoad(list, load);
        return true;
    });
}

void SetBookmarkOrderAsStep(ProgramState& state, BookmarkOrder order)
{
    SortedStep(state, "bookmark order", [&](BookmarkList& list) {
        list.Order = order;
        return true;
    });
}
