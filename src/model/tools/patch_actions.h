#pragma once

#include "model/core/dialogs.h"
#include "model/editor/cell_writes.h"

struct ProgramState;

// The Edit menu's actions on the ROM as a whole: a patch of the changes made
// since the file was opened, a patch applied to it, and the way back to the
// file as it was opened. Each returns what the window shows.

// The history names of the two actions that write into the ROM.
inline const char* const ApplyPatchStepName = "patch";
inline const char* const RevertStepName = "revert to opened state";

// Asks where to save, the filter entry picking the patch format, and writes the
// patch of the file as opened to the file as it is now. No file, no change
// or a patch the format cannot hold: a message and nothing saved.
EditReport CreatePatchOfChanges(const ProgramState& state, Dialogs& dialogs);

// Asks for a patch file and, after the save warning, makes its writes as
// one step, all or nothing: a refused patch writes nothing, and a write
// that fails halfway puts back the ones made before it and leaves no step.
EditReport ApplyPatchFromFile(ProgramState& state, Dialogs& dialogs);

// After the save warning, writes the original value of every byte changed
// since the open back, one write per run of adjacent bytes, as one step,
// all or nothing like a patch.
EditReport RevertToOpenedState(ProgramState& state, Dialogs& dialogs);
