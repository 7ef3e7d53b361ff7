#include "ui/app/undo_edge.h"

#include "ui/app/main_form.h"
#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "model/core/confirm_save.h"
#include "model/core/program_state.h"
#include "model/core/write_messages.h"
#include "ui/editor/editor.h"
#include "model/editor/cell_writes.h"
#include "model/tools/patch_actions.h"

#include <QUndoCommand>

namespace {

// Stands for the step at one index of the history. It acts only when the
// history stands where the stack expects it, so the stack's own calls (the
// redo of a push, a resync after a refusal) change nothing twice.
class StepCommand : public QUndoCommand {
public:
    StepCommand(ProgramState& state, std::size_t index, StepOutcome& outcome)
        : QUndoCommand(QString::fromStdString(state.History.StepAt(index).Name)), state_(state), index_(index),
          outcome_(outcome)
    {
    }

    void undo() override
    {
        if (state_.History.Position() == index_ + 1)
            outcome_ = state_.History.Undo(state_);
    }

    void redo() override
    {
        if (state_.History.Position() == index_)
            outcome_ = state_.History.Redo(state_);
    }

private:
    ProgramState& state_;
    std::size_t index_;
    StepOutcome& outcome_;
};

}  // namespace

UndoEdge::UndoEdge(ProgramState& state, Windows& windows, QObject* parent)
    : QObject(parent), state_(state), windows_(windows)
{
    state_.History.SetListeners(
        [this] {
            stack_.push(new StepCommand(state_, state_.History.Position() - 1, lastOutcome_));
            emit Changed();
        },
        [this] {
            stack_.clear();
            emit Changed();
        });
}

UndoEdge::~UndoEdge()
{
    state_.History.SetListeners(nullptr, nullptr);
}

QString UndoEdge::UndoItemText() const
{
    return stack_.canUndo() ? QStringLiteral("Undo ") + stack_.undoText() : QStringLiteral("Undo");
}

QString UndoEdge::RedoItemText() const
{
    return stack_.canRedo() ? QStringLiteral("Redo ") + stack_.redoText() : QStringLiteral("Redo");
}

StepOutcome UndoEdge::Run(bool undo)
{
    const EditHistory& history = state_.History;
    // A stroke still held down is finished first, so it is what goes.
    state_.Recorder.EndStroke();
    if (state_.Recorder.StepOpen() || (undo ? !history.CanUndo() : !history.CanRedo()))
        return {};
    const EditStep& step = history.StepAt(undo ? history.Position() - 1 : history.Position());
    if (!step.Writes.empty() && !ConfirmSave(state_, windows_.Dialogs))
        return {};
    lastOutcome_ = {};
    if (undo)
        stack_.undo();
    else
        stack_.redo();
    StepOutcome outcome = std::move(lastOutcome_);
    // A refused step left the history where it was; the stack goes back there.
    if (stack_.index() != static_cast<int>(history.Position()))
        stack_.setIndex(static_cast<int>(history.Position()));
    if (!outcome.Done && outcome.Reason.empty())
        outcome.Reason = "The step could not be made.";
    return outcome;
}

void UndoEdge::Undo()
{
    state_.Recorder.EndStroke();
    const std::string name = stack_.undoText().toStdString();
    if (!state_.History.CanUndo())
        return;
    Show(Run(true), "Undone", name);
}

void UndoEdge::Redo()
{
    const std::string name = stack_.redoText().toStdString();
    if (!state_.History.CanRedo())
        return;
    Show(Run(false), "Redone", name);
}

void UndoEdge::Show(const StepOutcome& outcome, const std::string& verb, const std::string& name)
{
    emit Changed();
    EditReport report;
    if (outcome.Done) {
        if (outcome.PaletteChanged)
            PaletteChanged(windows_);
        if (!outcome.ChangedCells.empty()) {
            CellsChanged(windows_, outcome.ChangedCells);
            // The tile tool follows the cursor cell, which may have been
            // emptied or filled again.
            if (windows_.Editor)
                windows_.Editor->TellTileTool();
        }
        if (outcome.RomChanged)
            RomBytesChanged(windows_);
        report.InfoText = verb + ": " + name;
    } else if (!outcome.Reason.empty()) {
        report.Message = UserMessage{outcome.Reason, WriteFailedCaption, MsgIcon::Critical};
        report.InfoText = "Nothing was " + std::string(verb == "Undone" ? "undone" : "redone") + ": " + name;
    }
    ShowReport(windows_, report);
}

void UndoEdge::RevertFile()
{
    ShowReport(windows_, RevertToOpenedState(state_, windows_.Dialogs));
    RomBytesChanged(windows_);
}

void UndoEdge::CreatePatch()
{
    ShowReport(windows_, CreatePatchOfChanges(state_, windows_.Dialogs));
}

void UndoEdge::ApplyPatch()
{
    ShowReport(windows_, ApplyPatchFromFile(state_, windows_.Dialogs));
    RomBytesChanged(windows_);
}
