#pragma once

#include "model/core/document.h"
#include "model/core/edit_history.h"
#include "model/core/rom_journal.h"

#include <string>
#include <utility>

// Makes each user action one step of the history: between BeginStep and
// EndStep it keeps the cells and the palette as they were and collects the
// file's writes; EndStep stores what changed. A write made outside any step
// becomes a step of its own.
class EditRecorder {
public:
    EditRecorder(Document& document, EditHistory& history);
    EditRecorder(const EditRecorder&) = delete;
    EditRecorder& operator=(const EditRecorder&) = delete;

    // Steps do not nest: an inner Begin/End pair is part of the outer step.
    void BeginStep(std::string name);
    void RenameStep(std::string name) { journal_.RenameStep(std::move(name)); }
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
    std::size_t OpenStepWrites() const { return journal_.OpenStepWrites(); }
    // Ends the step; one that changed nothing is not stored.
    void EndStep();

    // A file was opened or closed: a new history and no original bytes.
    void NewFile();

    const RomJournal& Journal() const { return journal_; }
    // For an action that writes untold and hands the journal its finished
    // writes itself (all or nothing).
    RomJournal& Journal() { return journal_; }

private:
    Document& document_;
    EditHistory& history_;
    RomJournal journal_;
    int depth_ = 0;
    bool stroke_ = false;
    EditorSlotTable cellsBefore_{};
    WorkingPaletteTable paletteBefore_{};
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
