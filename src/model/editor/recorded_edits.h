#pragma once

#include "model/editor/cell_writes.h"

#include <cstdint>

struct ProgramState;
class Dialogs;

// The editor's writes into the file, each recorded as one step of the
// state's history.

// Save all as one step named "save of N tiles", N the tiles written.
EditReport SaveAllCellsAsStep(ProgramState& state, Dialogs& dialogs);

// One cell written at an address as the step "tile write".
CellWriteResult WriteCellToAsStep(ProgramState& state, Dialogs& dialogs, int slot, std::int64_t address,
                                  std::uint8_t mode);
