#include "model/editor/recorded_edits.h"

#include "model/core/program_state.h"

#include <string>

EditReport SaveAllCellsAsStep(ProgramState& state, Dialogs& dialogs)
{
    EditRecorder& recorder = state.Recorder;
    EditStepScope scope(recorder, "save");
    EditReport report = SaveAllCells(state, dialogs);
    // Every tile is one write, so the step's writes are the tiles saved.
    recorder.RenameStep("save of " + std::to_string(recorder.OpenStepWrites()) + " tiles");
    return report;
}

CellWriteResult WriteCellToAsStep(ProgramState& state, Dialogs& dialogs, int slot, std::int64_t address,
                                  std::uint8_t mode)
{
    return RecordStep(state.Recorder, "tile write", [&] { return WriteCellTo(state, dialogs, slot, address, mode); });
}
