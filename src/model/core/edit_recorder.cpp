#include "model/core/edit_recorder.h"

#include "model/core/cells_follow_file.h"
#include "model/core/list_changes.h"

#include <new>

EditRecorder::EditRecorder(Document& document, EditHistory& history)
    : document_(document), history_(history), journal_(document.FileHandle)
{
    journal_.SetWriteHandler([this](RomWrite write) { Heard(std::move(write)); });
    // An undo or redo inside an open step is the step's own business.
    history_.SetApplyListeners(
        [this] {
            if (!StepOpen())
                guard_.Check(document_, "before an undo or redo", {});
        },
        [this] {
            if (!StepOpen())
                guard_.Settle(document_);
        });
}

EditRecorder::~EditRecorder()
{
    history_.SetApplyListeners({}, {});
}

void EditRecorder::BeginStep(std::string name)
{
    if (stroke_ && depth_ == 1)
        EndStroke();
    if (depth_++ > 0)
        return;
    guard_.Check(document_, "before the step", name);
    TakeUndoableState(document_, before_);
    open_ = EditStep{};
    open_.Name = std::move(name);
}

void EditRecorder::RenameStep(std::string name)
{
    if (depth_ > 0)
        open_.Name = std::move(name);
}

void EditRecorder::EndStep()
{
    if (depth_ == 0 || --depth_ > 0)
        return;
    EditStep step = std::exchange(open_, EditStep{});
    // Cells over the bytes written follow the file inside the step, so its
    // undo puts them back with the bytes.
    FollowFile(document_, RangesOf(step.Writes));
    step.Cells = CellChangesBetween(before_.Cells, document_.EditorSlots);
    if (before_.Palette != document_.WorkingPalette)
        step.Palette = PaletteChange{before_.Palette, document_.WorkingPalette};
    step.Sets = ChangeBetween(before_.Sets, document_.Sets);
    step.Patterns = ChangeBetween(before_.Patterns, document_.Patterns);
    step.Bookmarks = ChangeBetween(before_.Bookmarks, document_.Bookmarks);
    history_.Push(std::move(step));
    guard_.Settle(document_);
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

void EditRecorder::Heard(RomWrite write)
{
    std::vector<RomWrite> writes;
    writes.push_back(std::move(write));
    AddWrites(std::move(writes));
}

void EditRecorder::AddWrites(std::vector<RomWrite> writes)
{
    if (depth_ == 0) {
        if (!writes.empty()) {
            EditStep step;
            step.Name = LoneWriteName;
            step.Writes = std::move(writes);
            history_.Push(std::move(step));
        }
        return;
    }
    for (RomWrite& write : writes)
        open_.Writes.push_back(std::move(write));
}

StepWriteResult EditRecorder::WriteAsOneStep(std::vector<RomWrite> writes)
{
    RomFile& file = document_.FileHandle;
    try {
        for (RomWrite& write : writes) {
            BeforeAllocating();
            write.Before.resize(write.After.size());
            if (file.ReadAt(write.Offset, write.Before.data(), write.Before.size()) != write.Before.size())
                return {"The bytes to be replaced in the file '" + file.Path() +
                            "' could not be read, so nothing was written.",
                        true};
            // Spare room left by growing the new bytes goes, so the step
            // holds about twice the bytes it changes.
            if (write.After.capacity() > write.After.size() + write.After.size() / 8) {
                BeforeAllocating();
                write.After.shrink_to_fit();
            }
        }
        BeforeAllocating();
        if (depth_ > 0)
            open_.Writes.reserve(open_.Writes.size() + writes.size());
        for (const RomWrite& write : writes) {
            BeforeAllocating();
            journal_.RecordOriginals(write.Offset, write.Before);
        }
    } catch (const std::bad_alloc&) {
        return {OutOfMemoryText(file.Path()), true};
    }
    StepWriteResult result = WriteSides(file, writes, false);
    if (result)
        AddWrites(std::move(writes));
    return result;
}

void EditRecorder::NewFile()
{
    // A step left open belongs to the file before: it is dropped.
    stroke_ = false;
    depth_ = 0;
    open_ = EditStep{};
    history_.Clear();
    journal_.Reset();
    guard_.Settle(document_);
}
