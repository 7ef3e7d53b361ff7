#pragma once

#include "model/core/document.h"
#include "model/core/edit_history.h"
#include "model/core/edit_recorder.h"
#include "model/core/mode_table.h"
#include "model/core/view.h"

#include <array>
#include <cstdint>
#include <string>


// The one record of program-wide values: the document, its view, the mode
// table and the browser's decode buffer. It is created once, filled by
// InitState and handed by reference to every window; a test builds its own.
// Functions that need only the document or only the view take that part.
// The history of the user's changes comes with it; as the recorder listens
// to the state's own file, the state is neither copied nor moved.
struct ProgramState : Document, View {
    ProgramState() = default;
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    ModeInfoTable ModeTable{};

    EditHistory History;
    EditRecorder Recorder{*this, History};
};

// Sets the start-up values that belong to the state alone: browser and
// editor geometry, display colors, the mode table and empty editor cells.
void InitState(ProgramState& state);

// The current mode's record.
const ModeInfo& CurrentModeInfo(const ProgramState& state);

// File address of the browser's tile at a column and line of its grid (in
// the grid's layout), in 64 bits so that no grid position overflows.
std::int64_t TileAddressAt(const ProgramState& state, int column, int line);

// The browser's grid as navigation counts it: rows of whole layout blocks.
LayoutRows BrowserRows(const View& view);

// The editor cell under the cursor.
int CursorSlot(const View& view);

// File address of the browser's selected tile. Not checked against the file
// length; saturates at the 32-bit range instead of overflowing.
std::int32_t SelectedTileAddress(const ProgramState& state);
