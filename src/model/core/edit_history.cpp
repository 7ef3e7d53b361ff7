#include "model/core/edit_history.h"

#include <utility>

void EditHistory::Push(EditStep step)
{
    if (step.Empty())
        return;
    steps_.resize(position_);
    steps_.push_back(std::move(step));
    position_ = steps_.size();
    Changed();
}

StepOutcome EditHistory::Undo(Document& document)
{
    return CanUndo() ? Apply(document, true) : StepOutcome{};
}

StepOutcome EditHistory::Redo(Document& document)
{
    return CanRedo() ? Apply(document, false) : StepOutcome{};
}

StepOutcome EditHistory::Apply(Document& document, bool undo)
{
    if (beforeApply_)
        beforeApply_();
    StepOutcome outcome = undo ? steps_[position_ - 1].Undo(document) : steps_[position_].Redo(document);
    if (afterApply_)
        afterApply_();
    if (!outcome)
        return outcome;
    position_ = undo ? position_ - 1 : position_ + 1;
    Changed();
    return outcome;
}

std::string EditHistory::UndoName() const
{
    return CanUndo() ? steps_[position_ - 1].Name : std::string();
}

std::string EditHistory::RedoName() const
{
    return CanRedo() ? steps_[position_].Name : std::string();
}

std::string EditHistory::UndoText() const
{
    return CanUndo() ? "Undo " + UndoName() : std::string();
}

std::string EditHistory::RedoText() const
{
    return CanRedo() ? "Redo " + RedoName() : std::string();
}

void EditHistory::Clear()
{
    steps_.clear();
    position_ = 0;
    Changed();
}

void EditHistory::SetChangeListener(std::function<void()> changed)
{
    changed_ = std::move(changed);
}

void EditHistory::SetApplyListeners(std::function<void()> before, std::function<void()> after)
{
    beforeApply_ = std::move(before);
    afterApply_ = std::move(after);
}

void EditHistory::Changed() const
{
    if (changed_)
        changed_();
}
