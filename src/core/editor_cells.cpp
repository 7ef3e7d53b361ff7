#include "core/editor_cells.h"

std::uint8_t SaveModeOf(const EditorSlot& cell, std::uint8_t currentMode)
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
        }
}
