#include "model/core/edit_recorder.h"

#include "model/core/cells_follow_file.h"

EditRecorder::EditRecorder(Document& document, EditHistory& history)
    : document_(document), history_(history), journal_(document.FileHandle)
{
    journal_.SetLoneStepHandler([this](RomStep step) {
        history_.Push(EditStep{std::move(step.Name), {}, std::nullopt, std::move(step.Writes)});
    });
}

void EditRecorder::BeginStep(std::string name)
{
    if (stroke_ && depth_ == 1)
        EndStroke();
    if (depth_++ == 0) {
        cellsBefore_ = document_.EditorSlots;
        paletteBefore_ = document_.WorkingPalette;
    }
    journal_.BeginStep(std::move(name));
}

void EditRecorder::EndStep()
{
    RomStep written = journal_.EndStep();
    if (depth_ == 0 || --depth_ > 0)
        return;
    // Cells over the bytes written follow the file inside the step, so its
    // undo puts them back with the bytes.
    FollowFile(document_, RangesOf(written.Writes));
    EditStep step{std::move(written.Name), CellChangesBetween(cellsBefore_, document_.EditorSlots), std::nullopt,
                  std::move(written.Writes)};
    if (paletteBefore_ != document_.WorkingPalette)
        step.Palette = PaletteChange{paletteBefore_, document_.WorkingPalette};
    history_.Push(std::move(step));
}

void EditRecorder::BeginStroke(std::string name)
{
    EndStroke();
    BeginStep(std::move(name));
    stroke_ = true;
}

void EditRecorder::EndStroke()
{
    if (!stroke_)
        return;
    stroke_ = false;
    EndStep();
}

void EditRecorder::NewFile()
{
    // A step left open belongs to the file before: it is dropped.
    stroke_ = false;
    depth_ = 0;
    history_.Clear();
    journal_.Reset();
}
