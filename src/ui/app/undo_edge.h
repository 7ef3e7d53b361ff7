#pragma once

#include "model/core/edit_step.h"

#include <QObject>
#include <QString>

#include <string>

struct ProgramState;
struct Windows;

// The window side of the one edit history and of the Edit menu. The
// state's EditHistory is the only list of steps: the item texts and their
// enabled states are read from it, and it tells when it changed; the steps
// undo and redo in the model. A refused undo or redo leaves it where it was.
class UndoEdge : public QObject {
    Q_OBJECT

public:
    UndoEdge(ProgramState& state, Windows& windows, QObject* parent = nullptr);
    ~UndoEdge() override;

    // Undoes or redoes one step and brings every view up to date. A step
    // that writes into the file asks the save warning first (when it is
    // on); a "no" changes nothing. The information line tells what was
    // undone or redone; a refused write shows its reason.
    void Undo();
    void Redo();

    // The Edit menu's file actions: back to the file as opened, a patch of
    // the changes, a patch applied (the writes each one step).
    void RevertFile();
    void CreatePatch();
    void ApplyPatch();

    // "Undo paint", "Redo save of 12 tiles"; just "Undo" or "Redo" when
    // there is no step.
    QString UndoItemText() const;
    QString RedoItemText() const;
    bool CanUndo() const;
    bool CanRedo() const;

signals:
    // The steps that can be undone or redone changed, or a refused step
    // left them as they were.
    void Changed();

private:
    StepOutcome Run(bool undo);
    void Show(const StepOutcome& outcome, const std::string& verb, const std::string& name);

    ProgramState& state_;
    Windows& windows_;
};
