#pragma once

#include "model/core/dialogs.h"

#include <cstdint>
#include <optional>
#include <string>

struct ProgramState;

// What a change has to tell the user: a line for the main window's
// information line, a message box, or both. The window shows them as they
// are.
struct EditReport {
    std::optional<std::string> InfoText;
    std::optional<UserMessage> Message;
};

enum class CellWriteOutcome {
    Written,
    OutsideFile,  // the tile does not lie wholly inside the file; nothing asked
    Declined,     // no file, a read-only file or a No to the save warning
    Failed,       // the write was refused; the report says why
};

struct CellWriteResult {
    CellWriteOutcome Outcome = CellWriteOutcome::Declined;
    EditReport Report;

    // Whether the user let the write go ahead (written or failed).
    bool Confirmed() const { return Outcome == CellWriteOutcome::Written || Outcome == CellWriteOutcome::Failed; }
};

// Writes cell slot's pixels as a tile of mode at address: a tile outside
// the file is refused with the information line text, then ConfirmSave
// asks, then the tile is written; a refused write reports its reason in a
// message box. The one way a single cell reaches the file.
CellWriteResult WriteCellTo(ProgramState& state, Dialogs& dialogs, int slot, std::int64_t address,
                            std::uint8_t mode);

// Save all: with a file open and ConfirmSave's consent every bound cell
// inside the file is written at its own address; the report is the
// information line "Saved N tiles to file" and, when a write was refused,
// its reason.
EditReport SaveAllCells(ProgramState& state, Dialogs& dialogs);
