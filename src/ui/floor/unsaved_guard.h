#pragma once

struct ProgramState;
struct Windows;

// Before the open file is left (exit, close, open another), asks once when
// editor cells hold edits not yet written: Save runs Save all, Discard goes
// on without it, Cancel stays. Returns whether to go on; a save that was
// declined or failed stays too, so nothing is lost.
bool ConfirmLeavingEdits(ProgramState& state, Windows& windows);
