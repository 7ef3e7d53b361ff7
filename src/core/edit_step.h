#pragma once

#include "core/document.h"
#include "core/editor_cells.h"
#include "core/packed_color.h"
#include "core/rom_journal.h"

#include <optional>
#include <string>
#include <vector>

// One editor cell before and after a change.
struct CellChange {
    int Slot = 0;
    EditorSlot Before;
    EditorSlot After;
};

struct PaletteChange {
    WorkingPaletteTable Before{};
    WorkingPaletteTable After{};
};

// What undoing or redoing a step did, for the refresh, or why it was
// refused.
struct StepOutcome {
    bool Done = false;
    // For the user when not done: the refused write's reason.
    std::string Reason;
    std::vector<int> ChangedCells;
    bool PaletteChanged = false;
    bool RomChanged = false;

    explicit operator bool() const { return Done; }
};

// One user action as it can be undone: the cells it changed, the working
// palette when it changed, and the ROM writes it made. Only what changed is
// kept, so a step of one painted cell holds one cell.
struct EditStep {
    std::string Name;
    std::vector<CellChange> Cells;
    std::optional<PaletteChange> Palette;
    std::vector<RomWrite> Writes;

    bool Empty() const { return Cells.empty() && !Palette && Writes.empty(); }

    // Puts the state before the step back: the ROM writes' old bytes, last
    // write first, then the cells and the palette. When a write is refused,
    // the writes already undone are made again and nothing else changes.
    StepOutcome Undo(Document& document) const;
    // Makes the step again: the writes in their order, then the cells and
    // the palette. A refused write puts back the ones already made.
    StepOutcome Redo(Document& document) const;
};

// The cells that differ between two tables, with both versions.
std::vector<CellChange> CellChangesBetween(const EditorSlotTable& before, const EditorSlotTable& after);
