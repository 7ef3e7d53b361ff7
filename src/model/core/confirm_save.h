#pragma once

#include "model/core/dialogs.h"
#include "model/core/program_state.h"

#include <string>

// Asks whether the caller may write into the open file; called once per
// user action before its first write. No file open: false without a
// message. A read-only file (looked up by name now): refused with a message.
// A file no write can reach (empty, or deleted, moved or replaced since the
// open): refused with the reason. Otherwise the save warning unless it is
// switched off.
bool ConfirmSave(const ProgramState& state, Dialogs& dialogs);
