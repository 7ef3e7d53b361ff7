#include "model/core/editor_cells.h"

GraphicsMode SaveModeOf(const EditorSlot& cell, GraphicsMode currentMode)
{
    return cell.Mode.value_or(currentMode);
}

void ClearAllSlots(EditorSlotTable& slots)
{
    slots.fill(EditorSlot{});
}

void ClearSlot(EditorSlotTable& slots, int slot)
{
    slots[slot] = EditorSlot{};
}

void UnbindAllSlots(EditorSlotTable& slots)
{
    for (EditorSlot& slot : slots)
        if (slot.Address != EmptySlot) {
            slot.Address = UnboundTile;
            slot.Mode.reset();
            slot.Edited = false;
            slot.Source = {};
        }
}

bool HoldsUnsavedEdit(const EditorSlot& cell)
{
    return cell.Edited && cell.Address >= 0;
}
