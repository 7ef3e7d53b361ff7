#pragma once

#include "model/core/editor_cells.h"
#include "model/core/rom_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Document;
class Dialogs;

// Reads the tile at address into the slot and binds it to that address,
// unless another cell already holds that address: then the message
// "There is already a tile with the same address in the editor." is shown
// and the slot is left as it is. Returns whether the tile was loaded. The
// tile is read in the current mode unless another is given.
bool LoadSlot(Document& document, Dialogs& dialogs, std::int32_t address, int slot,
              std::optional<GraphicsMode> mode = std::nullopt);

// The slots (s included) that share slot s's file address, in slot order;
// just s when it has no address.
std::vector<int> SlotsSharingAddress(const EditorSlotTable& slots, int slot);

// Paint and Fill: an empty cell becomes an unbound one; the pixel (or every
// pixel) is set in the cell and in every cell sharing its address. Return
// the slots that changed.
std::vector<int> PaintPixel(EditorSlotTable& slots, int slot, int x, int y, std::uint8_t color);
std::vector<int> FillSlot(EditorSlotTable& slots, int slot, std::uint8_t color);

// Swaps two cells' pixels and addresses.
void SwapSlots(EditorSlotTable& slots, int a, int b);

// Tile transformations of one cell's pixels.
void FlipTileX(TilePixels& pixels);   // left column becomes the right one
void FlipTileY(TilePixels& pixels);   // top row becomes the bottom one
void RotateTile(TilePixels& pixels);  // a quarter turn counter-clockwise

// Copies slot s's pixels into every cell sharing its address; returns those
// cells (s included).
std::vector<int> SyncTwins(EditorSlotTable& slots, int slot);

// Whether a tile of the current mode at address lies wholly inside the file.
bool TileInsideFile(const Document& document, std::int64_t address);
// The same for a tile of the given mode.
bool TileInsideFile(const Document& document, std::uint8_t mode, std::int64_t address);
// Whether a cell's address counts in the bytes shown now and its tile, in
// the mode it is written in, lies wholly inside them.
bool CellInShownTiles(const Document& document, const EditorSlot& cell);

// Writes a cell back at its own address in the mode it was read in; once
// written, it and its twins hold no unsaved edit. The caller checks that
// the tile lies inside the file first.
RomWriteResult SaveSlot(Document& document, int slot);

// The cell and every cell sharing its address match the file again.
void MarkSaved(EditorSlotTable& slots, int slot);

// Reads the tile at address (0 or above) into a cell in the current mode.
// When address is the cell's own, the current mode becomes the cell's
// mode; otherwise the cell forgets its mode, as its pixels no longer come
// from its own address. Returns false (and changes nothing) when no file is
// open or address is negative.
bool ReloadSlot(Document& document, int slot, std::int32_t address);

// Whether a cell holds edits that Save all would write: edited, bound, and
// with its tile inside the open file. The editor marks these cells.
bool IsUnsavedTile(const Document& document, int slot);
// How many cells do.
int UnsavedTileCount(const Document& document);

// The question asked before such edits would be left behind.
std::string UnsavedTilesText(int count);

struct SaveAllResult {
    int Written = 0;      // tiles written
    bool Failed = false;  // a write was refused; the cells after it were not written
    std::string Problem;  // the refused write's reason, for the user
};

// Writes every bound cell whose tile lies wholly inside the file, each in
// its own mode, in slot order (so of two cells with one address the later
// wins). The first refused write ends it: a file changed outside the
// program or a failing disk would refuse the rest as well. The caller asks
// ConfirmSave first.
SaveAllResult SaveAllSlots(Document& document);

// Re-reads every bound cell from the file in the current mode; empty and
// unbound cells stay. Returns the slots that were read.
std::vector<int> ReloadAllSlots(Document& document);
