#include "ui/app/undo_edge.h"

#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "model/core/confirm_save.h"
#include "model/core/program_state.h"
#include "model/core/write_messages.h"
#include "ui/editor/editor.h"
#include "model/editor/cell_writes.h"
#include "model/tools/patch_actions.h"
#include "ui/editor/pattern.h"
#include "ui/palette/color_set.h"
#include "ui/tools/bookmark.h"


UndoEdge::UndoEdge(ProgramState& state, Windows& windows, QObject* parent)
    : QObject(parent), state_(state), windows_(windows)
{
    state_.History.SetChangeListener([this] { emit Changed(); });
}

UndoEdge::~UndoEdge()
{
    state_.History.SetChangeListener(nullptr);
}

QString UndoEdge::UndoItemText() const
{
    return CanUndo() ? QString::fromStdString(state_.History.UndoText()) : QStringLiteral("Undo");
}

QString UndoEdge::RedoItemText() const
{
    return CanRedo() ? QString::fromStdString(state_.History.RedoText()) : QStringLiteral("Redo");
}

bool UndoEdge::CanUndo() const
{
    return state_.History.CanUndo();
}

bool UndoEdge::CanRedo() const
{
    return state_.History.CanRedo();
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
    // A refused step leaves the history where it was.
    StepOutcome outcome = undo ? state_.History.Undo(state_) : state_.History.Redo(state_);
    if (!outcome.Done && outcome.Reason.empty())
        outcome.Reason = "The step could not be made.";
    return outcome;
}

void UndoEdge::Undo()
{
    state_.Recorder.EndStroke();
    const std::string name = state_.History.UndoName();
    if (!state_.History.CanUndo())
        return;
    Show(Run(true), "Undone", name);
}

void UndoEdge::Redo()
{
    const std::string name = state_.History.RedoName();
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
            windows_.Editor->TellTileTool();
        }
        if (outcome.RomChanged)
            RomBytesChanged(windows_);
        if (outcome.SetsChanged)
            windows_.ColorSet->RefreshSetList();
        if (outcome.PatternsChanged)
            windows_.Pattern->RefreshPatternList();
        if (outcome.BookmarksChanged)
            windows_.Bookmark->ShowList();
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
