#pragma once

#include "model/core/program_state.h"

#include <string>

// Opening and closing the ROM file in the program state; the dialogs and
// the redraws around them belong to the caller.

struct OpenRomOutcome {
    bool Opened = false;
    // Set when the file exists but could not be opened: a sentence naming
    // the file and the reason, for the user. A name that does not exist is a
    // silent cancel and leaves this empty.
    std::string Problem;
    // Set when the open put back the old bytes of a write that was cut short
    // (or could not, the file being read-only): sentences for the user.
    std::string Notice;
};

// Closes the file that was open, then opens path (an empty path is a
// cancelled dialog): for reading only when it is read-only. On success the
// file values are set and BrowserAddress is 0. In every case the editor
// cells that are not empty lose their addresses, so nothing of one file is
// written into another.
OpenRomOutcome OpenRomInState(ProgramState& state, const std::string& path);

// "Opened " + path + " (" + length + " bytes)".
std::string OpenedInfoText(const Document& document);

// Closes the open file and returns the information line text,
// "Closed file " + path.
std::string CloseRomInState(ProgramState& state);
