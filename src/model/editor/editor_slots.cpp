#include "model/editor/editor_slots.h"

#include "model/core/dialogs.h"
#include "model/core/document.h"
#include "model/core/tile_codec.h"
#include "model/core/tile_io.h"

#include <algorithm>

bool LoadSlot(Document& document, Dialogs& dialogs, std::int32_t address, int slot, std::optional<GraphicsMode> mode)
{
    for (const EditorSlot& cell : document.EditorSlots)
        if (cell.Address == address && cell.Source == document.ShownSource) {
            dialogs.Message("There is already a tile with the same address in the editor.", "Editor error",
                            MsgIcon::Information);
            return false;
        }
    EditorSlot& cell = document.EditorSlots[slot];
    const GraphicsMode readMode = mode.value_or(document.CurrentMode);
    ReadTiles(document.Tiles(), readMode, address, 1, cell.Pixels.data());
    cell.Address = address;
    cell.Mode = readMode;
    cell.Edited = false;
    cell.Source = document.ShownSource;
    return true;
}

std::vector<int> SlotsSharingAddress(const EditorSlotTable& slots, int slot)
{
    const std::int32_t address = slots[slot].Address;
    if (address < 0)
        return {slot};
    std::vector<int> twins;
    for (int j = 0; j < EditorSlotCount; ++j)
        if (slots[j].Address == address && slots[j].Source == slots[slot].Source)
            twins.push_back(j);
    return twins;
}

std::vector<int> PaintPixel(EditorSlotTable& slots, int slot, int x, int y, std::uint8_t color)
{
    if (slots[slot].Address == EmptySlot)
        slots[slot].Address = UnboundTile;
    const std::vector<int> changed = SlotsSharingAddress(slots, slot);
    for (int j : changed) {
        slots[j].Pixels[y * TileSide + x] = color;
        slots[j].Edited = true;
    }
    return changed;
}

std::vector<int> FillSlot(EditorSlotTable& slots, int slot, std::uint8_t color)
{
    if (slots[slot].Address == EmptySlot)
        slots[slot].Address = UnboundTile;
    const std::vector<int> changed = SlotsSharingAddress(slots, slot);
    for (int j : changed) {
        slots[j].Pixels.fill(color);
        slots[j].Edited = true;
    }
    return changed;
}

void SwapSlots(EditorSlotTable& slots, int a, int b)
{
    std::swap(slots[a], slots[b]);
}

void FlipTileX(TilePixels& pixels)
{
    for (int y = 0; y < TileSide; ++y)
        std::reverse(pixels.begin() + y * TileSide, pixels.begin() + (y + 1) * TileSide);
}

void FlipTileY(TilePixels& pixels)
{
    for (int y = 0; y < TileSide / 2; ++y)
        std::swap_ranges(pixels.begin() + y * TileSide, pixels.begin() + (y + 1) * TileSide,
                         pixels.begin() + (TileSide - 1 - y) * TileSide);
}

void RotateTile(TilePixels& pixels)
{
    const TilePixels before = pixels;
    for (int y = 0; y < TileSide; ++y)
        for (int x = 0; x < TileSide; ++x)
            pixels[(TileSide - 1 - x) * TileSide + y] = before[y * TileSide + x];
}

std::vector<int> SyncTwins(EditorSlotTable& slots, int slot)
{
    const std::vector<int> twins = SlotsSharingAddress(slots, slot);
    for (int j : twins) {
        slots[j].Pixels = slots[slot].Pixels;
        slots[j].Edited = slots[slot].Edited;
    }
    return twins;
}

bool TileInsideFile(const Document& document, std::int64_t address)
{
    return TileInsideFile(document, document.CurrentMode, address);
}

bool TileInsideFile(const Document& document, std::uint8_t mode, std::int64_t address)
{
    return document.FileOpen() && address >= 0 && address + StandardModes[mode].BytesPerTile <= document.TilesLength();
}

bool CellInShownTiles(const Document& document, const EditorSlot& cell)
{
    return cell.Source == document.ShownSource &&
           TileInsideFile(document, SaveModeOf(cell, document.CurrentMode), cell.Address);
}

RomWriteResult SaveSlot(Document& document, int slot)
{
    const EditorSlot& cell = document.EditorSlots[slot];
    RomWriteResult written =
        WriteTile(document.Tiles(), SaveModeOf(cell, document.CurrentMode), cell.Address, cell.Pixels);
    if (written)
        MarkSaved(document.EditorSlots, slot);
    return written;
}

void MarkSaved(EditorSlotTable& slots, int slot)
{
    for (int j : SlotsSharingAddress(slots, slot))
        slots[j].Edited = false;
}

bool IsUnsavedTile(const Document& document, int slot)
{
    const EditorSlot& cell = document.EditorSlots[slot];
    return HoldsUnsavedEdit(cell) && CellInShownTiles(document, cell);
}

int UnsavedTileCount(const Document& document)
{
    int count = 0;
    for (int slot = 0; slot < EditorSlotCount; ++slot)
        count += IsUnsavedTile(document, slot) ? 1 : 0;
    return count;
}

std::string UnsavedTilesText(int count)
{
    if (count == 1)
        return "1 edited tile is not saved to the file.";
    return std::to_string(count) + " edited tiles are not saved to the file.";
}

SaveAllResult SaveAllSlots(Document& document)
{
    std::vector<int> slots;
    std::vector<ByteBlock> blocks;
    for (int i = 0; i < EditorSlotCount; ++i) {
        const EditorSlot& cell = document.EditorSlots[i];
        if (!CellInShownTiles(document, cell))
            continue;
        const GraphicsMode mode = SaveModeOf(cell, document.CurrentMode);
        ByteBlock& block = blocks.emplace_back(ByteBlock{cell.Address, {}});
        block.Bytes.resize(static_cast<std::size_t>(StandardModes[mode].BytesPerTile));
        EncodeTile(mode, cell.Pixels.data(), block.Bytes.data());
        slots.push_back(i);
    }
    // One write for all: the file syncs one rollback journal instead of one
    // a tile, a compressed stream packs once.
    const BlocksWritten written = document.Tiles().WriteBlocks(blocks);
    for (int k = 0; k < written.Count; ++k)
        MarkSaved(document.EditorSlots, slots[static_cast<std::size_t>(k)]);
    SaveAllResult result;
    result.Written = written.Count;
    result.Failed = !written.Result;
    result.Problem = written.Result.Reason;
    return result;
}

bool ReloadSlot(Document& document, int slot, std::int32_t address)
{
    EditorSlot& cell = document.EditorSlots[slot];
    if (!document.FileOpen() || address < 0)
        return false;
    ReadTiles(document.Tiles(), document.CurrentMode, address, 1, cell.Pixels.data());
    if (address == cell.Address && cell.Source == document.ShownSource) {
        cell.Mode = document.CurrentMode;
        cell.Edited = false;
    } else {
        // Pixels from elsewhere differ from the cell's own address.
        cell.Mode.reset();
        cell.Edited = cell.Address >= 0;
    }
    return true;
}

std::vector<int> ReloadAllSlots(Document& document)
{
    std::vector<int> read;
    for (int i = 0; i < EditorSlotCount; ++i)
        if (document.EditorSlots[i].Source == document.ShownSource &&
            ReloadSlot(document, i, document.EditorSlots[i].Address))
            read.push_back(i);
    return read;
}
