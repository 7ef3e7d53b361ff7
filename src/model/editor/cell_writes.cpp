#include "model/editor/cell_writes.h"

#include "model/core/confirm_save.h"
#include "model/core/program_state.h"
#include "model/core/tile_io.h"
#include "model/core/write_messages.h"
#include "model/editor/editor_slots.h"

namespace {

UserMessage WriteFailedMessage(const std::string& reason)
{
    return {reason, WriteFailedCaption, MsgIcon::Critical};
}

}  // namespace

CellWriteResult WriteCellTo(ProgramState& state, Dialogs& dialogs, int slot, std::int64_t address, std::uint8_t mode)
{
    CellWriteResult result;
    if (!TileInsideFile(state, mode, address)) {
        result.Outcome = CellWriteOutcome::OutsideFile;
        result.Report.InfoText = TileOutsideFileText(address);
        return result;
    }
    if (!ConfirmSave(state, dialogs))
        return result;
    const RomWriteResult written =
        WriteTile(state.Tiles(), mode, static_cast<std::int32_t>(address), state.EditorSlots[slot].Pixels);
    if (written) {
        result.Outcome = CellWriteOutcome::Written;
        // Written at its own address in its own mode: the file holds the edit.
        const EditorSlot& cell = state.EditorSlots[slot];
        if (address == cell.Address && mode == SaveModeOf(cell, state.CurrentMode) && cell.Source == state.ShownSource)
            MarkSaved(state.EditorSlots, slot);
    } else {
        result.Outcome = CellWriteOutcome::Failed;
        result.Report.Message = WriteFailedMessage(written.Reason);
    }
    return result;
}

EditReport SaveAllCells(ProgramState& state, Dialogs& dialogs)
{
    EditReport report;
    SaveAllResult result;
    if (state.FileOpen() && ConfirmSave(state, dialogs)) {
        result = SaveAllSlots(state);
        if (result.Failed)
            report.Message = WriteFailedMessage(result.Problem);
    }
    report.InfoText = "Saved " + std::to_string(result.Written) + " tiles to file";
    return report;
}
