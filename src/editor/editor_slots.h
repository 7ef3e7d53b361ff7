#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct ProgramState;
class Dialogs;

// Address markers of an editor cell.
inline constexpr std::int32_t EmptySlot = -2;    // nothing copied into the cell
inline constexpr std::int32_t UnboundTile = -1;  // painted, but bound to no file address

inline constexpr int EditorSlotCount = 256;  // 16 x 16 cells, index row*16 + column

using TilePixels = std::array<std::uint8_t, 64>;

// One cell of the editor: the file address its tile came from (or a marker)
// and its 64 color indices, entry y*8 + x. The cell's picture belongs to the
// editor window.
struct EditorSlot {
    std::int32_t Address = EmptySlot;
    TilePixels Pixels{};
};

using EditorSlotTable = std::array<EditorSlot, EditorSlotCount>;

// Makes every cell empty: EmptySlot with all pixels 0.
void ClearAllSlots(EditorSlotTable& slots);

// Makes one cell empty.
void ClearSlot(EditorSlotTable& slots, int slot);

// Reads the tile at address into the slot and binds it to that address,
// unless another cell already holds that address: then the message
// "There is already a tile with the same address in the editor." is shown
// and the slot is left as it is. Returns whether the tile was loaded.
bool LoadSlot(ProgramState& state, Dialogs& dialogs, std::int32_t address, int slot);

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
bool TileInsideFile(const ProgramState& state, std::int64_t address);

struct SaveAllResult {
    int Written = 0;      // tiles written
    bool Failed = false;  // a write the system refused
};

// Writes every bound cell whose tile lies wholly inside the file, in slot
// order (so of two cells with one address the later wins). The caller asks
// ConfirmSave first.
SaveAllResult SaveAllSlots(ProgramState& state);

// Re-reads every bound cell from the file; empty and unbound cells stay.
// Returns the slots that were read.
std::vector<int> ReloadAllSlots(ProgramState& state);
