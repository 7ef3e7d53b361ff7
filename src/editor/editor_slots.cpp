#include "editor/editor_slots.h"

void ClearAllSlots(EditorSlotTable& slots)
{
    slots.fill(EditorSlot{});
}
