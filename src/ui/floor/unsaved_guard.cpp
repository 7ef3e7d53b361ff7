#include "ui/floor/unsaved_guard.h"

#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "model/editor/editor_slots.h"
#include "model/editor/recorded_edits.h"

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
