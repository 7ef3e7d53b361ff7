#pragma once

#include "model/core/document.h"
#include "model/core/edit_history.h"
#include "model/core/rom_journal.h"
#include "model/core/step_guard.h"
#include "model/core/undoable_state.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Makes each user action one step of the history: between BeginStep and
// EndStep it keeps the cells, the palette and the lists as they were and
// collects the file's writes; EndStep stores what changed. A write made
// outside any step becomes a step of its own. Nothing else may change the
// document's undoable parts: builds with assertions stop when something
// did (StepGuard).
class EditRecorder {
public:
    EditRecorder(Document& document, EditHistory& history);
    ~EditRecorder();
    EditRecorder(const EditRecorder&) = delete;
    EditRecorder& operator=(const EditRecorder&) = delete;

    // The name of a step of one write made outside an open step.
    static constexpr const char* LoneWriteName = "file write";

    // Steps do not nest: an inner Begin/End pair is part of the outer step
    // and keeps its name.
    void BeginStep(std::string name);
    // Renames the open step, for names that depend on what was done
    // ("save of 12 tiles").
    void RenameStep(std::string name);
    // Whether a step is open.
    bool StepOpen() const { return depth_ > 0; }

    // A stroke is a step held open between a mouse press and its release
    // (paint, fill). Any other step, an undo or a new file ends it first,
    // so what happens while the button is held never joins the stroke.
    void BeginStroke(std::string name);
    // Ends the stroke if it is still open.
    void EndStroke();
    bool StrokeOpen() const { return stroke_; }
    // Writes the open step has made so far.
    std::size_t OpenStepWrites() const { return open_.Writes.size(); }
    // Ends the step; one that changed nothing is not stored.
    void EndStep();

    // Makes writes (Offset and After filled in, none overlapping another)
    // as writes of the open step, all or nothing, without telling the file.
    // Everything is prepared before the first write: the bytes each one
    // replaces are read and kept as originals, and the step makes room for
    // the writes. A read that fails or memory that runs out writes nothing;
    // a write refused halfway puts back what was written. Only when every
    // write went through does the step get them; with no step open they
    // are a step of their own.
    StepWriteResult WriteAsOneStep(std::vector<RomWrite> writes);

    // A file was opened or closed: a new history and no original bytes.
    // The document as it is now is where the new history starts.
    void NewFile();

    const RomJournal& Journal() const { return journal_; }

private:
    void Heard(RomWrite write);
    void AddWrites(std::vector<RomWrite> writes);

    Document& document_;
    EditHistory& history_;
    RomJournal journal_;
    int depth_ = 0;
    bool stroke_ = false;
    // The open step's name and writes.
    EditStep open_;
    UndoableState before_;
    StepGuard guard_;
};

// One step for the lifetime of a scope, ended also when the action throws.
class EditStepScope {
public:
    EditStepScope(EditRecorder& recorder, std::string name) : recorder_(recorder)
    {
        recorder_.BeginStep(std::move(name));
    }
    ~EditStepScope() { recorder_.EndStep(); }
    EditStepScope(const EditStepScope&) = delete;
    EditStepScope& operator=(const EditStepScope&) = delete;

private:
    EditRecorder& recorder_;
};

// Runs action as one step called name and returns what it returns.
template <class Action> decltype(auto) RecordStep(EditRecorder& recorder, std::string name, Action&& action)
{
    EditStepScope scope(recorder, std::move(name));
    return std::forward<Action>(action)();
}
