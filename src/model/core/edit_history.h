#pragma once

#include "model/core/document.h"
#include "model/core/edit_step.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The one ordered history of the user's changes, cells, palette, lists and
// ROM writes alike, in the order they were made. Steps before the position
// are done and can be undone; steps from it on were undone and can be
// redone. Whatever shows the history (the Edit menu) reads it from here.
class EditHistory {
public:
    // Adds a step just made; the undone steps after the position go. An
    // empty step is not added.
    void Push(EditStep step);

    // Undoes the step before the position, or redoes the one at it. When a
    // write is refused the history and the file stay as they were and the
    // outcome carries the reason. Nothing to undo or redo: not done, no reason.
    StepOutcome Undo(Document& document);
    StepOutcome Redo(Document& document);

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    // The name of the step an undo or a redo would take; empty when none.
    std::string UndoName() const;
    std::string RedoName() const;
    // "Undo " / "Redo " and the step's name; empty when there is none.
    std::string UndoText() const;
    std::string RedoText() const;

    // A file was opened or closed: a new history.
    void Clear();

    // Told after a step was added, undone or redone and after the history
    // was cleared, so a view of it can follow.
    void SetChangeListener(std::function<void()> changed);
    // Told just before an undo or redo touches the document and just after
    // it, whether it was done or refused.
    void SetApplyListeners(std::function<void()> before, std::function<void()> after);

    std::size_t Size() const { return steps_.size(); }
    std::size_t Position() const { return position_; }
    const EditStep& StepAt(std::size_t index) const { return steps_[index]; }

private:
    StepOutcome Apply(Document& document, bool undo);
    void Changed() const;

    std::vector<EditStep> steps_;
    std::size_t position_ = 0;
    std::function<void()> changed_;
    std::function<void()> beforeApply_;
    std::function<void()> afterApply_;
};
