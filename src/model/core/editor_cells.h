#pragma once

#include "model/core/mode_table.h"

#include <array>
#include <cstdint>
#include <optional>

// The editor's 16 x 16 cells as data: which file address each tile came
// from and its color indices. The operations on them live with the editor.

// Address markers of an editor cell.
inline constexpr std::int32_t EmptySlot = -2;    // nothing copied into the cell
inline constexpr std::int32_t UnboundTile = -1;  // painted, but bound to no file address

inline constexpr int EditorColumns = 16;
inline constexpr int EditorSlotCount = EditorColumns * EditorColumns;  // index row*16 + column

// Pixels along one side of a tile.
inline constexpr int TileSide = 8;

using TilePixels = std::array<std::uint8_t, TileSide * TileSide>;

// Which bytes a cell's address counts in: the file's own, or the unpacked
// bytes of the compressed stream at StreamAddress in the codec numbered
// Codec (its place in the codec list).
struct TileSourceKey {
    std::int32_t StreamAddress = -1;  // -1: the file itself
    std::uint8_t Codec = 0;

    bool IsFile() const { return StreamAddress < 0; }
    bool operator==(const TileSourceKey&) const = default;
};

// One cell of the editor: the file address its tile came from (or a marker)
// and its 64 color indices, entry y*8 + x. The cell's picture belongs to the
// editor window.
struct EditorSlot {
    std::int32_t Address = EmptySlot;
    TilePixels Pixels{};
    // The graphics mode the tile was read in. Saving the cell back writes it
    // in that mode, so exactly the bytes it came from are replaced, whatever
    // mode the browser shows by then. Empty for a cell whose address was set
    // without reading: such a cell is written in the current mode.
    std::optional<GraphicsMode> Mode;
    // Changed (painted, filled, flipped, rotated, imported) since the tile
    // was read from or last written to its address.
    bool Edited = false;
    // Where Address counts: a cell is written back only while the browser
    // shows the same bytes.
    TileSourceKey Source{};

    // Every field: undo and the step that records a change compare cells
    // with it, so a field added later is never missed.
    bool operator==(const EditorSlot&) const = default;
};

using EditorSlotTable = std::array<EditorSlot, EditorSlotCount>;

// The cell at a column and row of the editor.
constexpr int SlotAt(int column, int row)
{
    return row * EditorColumns + column;
}

// The mode a cell is written back in at its own address.
GraphicsMode SaveModeOf(const EditorSlot& cell, GraphicsMode currentMode);

// Makes every cell empty: EmptySlot with all pixels 0.
void ClearAllSlots(EditorSlotTable& slots);

// Makes one cell empty.
void ClearSlot(EditorSlotTable& slots, int slot);

// Every filled cell loses its address and mode: its tile no longer belongs
// to the open file, so it holds nothing unsaved either.
void UnbindAllSlots(EditorSlotTable& slots);

// Whether a cell holds changes its file address does not have yet.
bool HoldsUnsavedEdit(const EditorSlot& cell);
