#include "model/core/edit_history.h"

#include <utility>

void EditHistory::Push(EditStep step)
{
    if (step.Empty())
        return;
    steps_.resize(position_);
    steps_.push_back(std::move(step));
    position_ = steps_.size();
    if (pushed_)
        pushed_();
}

StepOutcome EditHistory::Undo(Document& document)
{
    if (!CanUndo())
        return {};
    StepOutcome outcome = steps_[position_ - 1].Undo(document);
    if (outcome)
        --position_;
    return outcome;
}

StepOutcome EditHistory::Redo(Document& document)
{
    if (!CanRedo())
        return {};
    StepOutcome outcome = steps_[position_].Redo(document);
    if (outcome)
        ++position_;
    return outcome;
}

std::string EditHistory::UndoText() const
{
    return CanUndo() ? "Undo " + steps_[position_ - 1].Name : std::string();
}

std::string EditHistory::RedoText() const
{
    return CanRedo() ? "Redo " + steps_[position_].Name : std::string();
}

void EditHistory::Clear()
{
    steps_.clear();
    position_ = 0;
    if (cleared_)
        cleared_();
}

void EditHistory::SetListeners(std::function<void()> pushed, std::function<void()> cleared)
{
    pushed_ = std::move(pushed);
    cleared_ = std::move(cleared);
}
