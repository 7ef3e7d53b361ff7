#pragma once

#include "model/core/document.h"
#include "model/core/editor_cells.h"
#include "model/core/list_changes.h"
#include "model/core/packed_color.h"
#include "model/core/rom_journal.h"

#include <functional>
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
    bool SetsChanged = false;
    bool PatternsChanged = false;
    bool BookmarksChanged = false;

    explicit operator bool() const { return Done; }
};

// One user action as it can be undone: the cells it changed, the working
// palette and the stored lists when they changed, and the ROM writes it
// made. Only what changed is kept, so a step of one painted cell holds one
// cell.
struct EditStep {
    std::string Name;
    std::vector<CellChange> Cells;
    std::optional<PaletteChange> Palette;
    std::vector<RomWrite> Writes;
    std::optional<ColorSetsChange> Sets;
    std::optional<PatternsChange> Patterns;
    std::optional<BookmarksChange> Bookmarks;

    bool Empty() const { return Cells.empty() && !Palette && Writes.empty() && !Sets && !Patterns && !Bookmarks; }

    // Puts the state before the step back: the ROM writes' old bytes, last
    // write first, then the cells, the palette and the lists. A step with
    // writes into a file that is read-only now (looked up by name) does
    // nothing. When a write is refused or memory runs out, the writes
    // already undone are made again and nothing else changes.
    StepOutcome Undo(Document& document) const;
    // Makes the step again: the writes in their order, then the cells, the
    // palette and the lists. A refused write puts back the ones already made.
    StepOutcome Redo(Document& document) const;
};

// The cells that differ between two tables, with both versions.
std::vector<CellChange> CellChangesBetween(const EditorSlotTable& before, const EditorSlotTable& after);

// What became of writing one side of a step's writes.
struct StepWriteResult {
    // For the user: why not every write was made; empty when they were.
    std::string Failure;
    // After a failure: whether the bytes written before it were put back,
    // so the file is as it was.
    bool Restored = true;

    explicit operator bool() const { return Failure.empty(); }
};

// Writes one side of writes without telling the file's listener: the After
// sides in order, or the Before sides last first (undo). Each is written a
// block of at most WriteBlockSize bytes at a time, so the file's own copy
// of the bytes it replaces stays small. When a block is refused or memory
// runs out, the blocks already written get their other side back, last
// first.
StepWriteResult WriteSides(RomFile& file, const std::vector<RomWrite>& writes, bool undo);
inline constexpr std::size_t WriteBlockSize = 1 << 20;

// For the user when memory ran out before anything was written.
std::string OutOfMemoryText(const std::string& path);

// Called before each allocation EditRecorder::WriteAsOneStep makes while it
// prepares, so that a test can make one of them fail by throwing
// std::bad_alloc. Empty to stop.
void SetAllocationProbeForTesting(std::function<void()> probe);
// Runs that probe, if one is set.
void BeforeAllocating();
