#include "app/unsaved_guard.h"

#include "app/refresh.h"
#include "app/windows.h"
#include "core/dialogs.h"
#include "core/program_state.h"
#include "editor/editor_slots.h"
#include "editor/recorded_edits.h"

namespace {

constexpr const char* UnsavedTilesCaption = "Unsaved tiles";

}  // namespace

bool ConfirmLeavingEdits(ProgramState& state, Windows& windows)
{
    const int unsaved = UnsavedTileCount(state);
    if (unsaved == 0)
        return true;
    switch (windows.Dialogs.AskSaveDiscardCancel(UnsavedTilesText(unsaved), UnsavedTilesCaption)) {
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        return false;
    case SaveChoice::Save:
        break;
    }
    const EditReport report = SaveAllCellsAsStep(state, windows.Dialogs);
    ShowReport(windows, report);
    RomBytesChanged(windows);
    return !report.Message && UnsavedTileCount(state) == 0;
}
