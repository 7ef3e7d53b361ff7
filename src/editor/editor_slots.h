#pragma once

#include <array>
#include <cstdint>

// Address markers of an editor cell.
inline constexpr std::int32_t EmptySlot = -2;    // nothing copied into the cell
inline constexpr std::int32_t UnboundTile = -1;  // painted, but bound to no file address

inline constexpr int EditorSlotCount = 256;  // 16 x 16 cells, index row*16 + column

// One cell of the editor: the file address its tile came from (or a marker)
// and its 64 color indices, entry y*8 + x. The cell's picture belongs to the
// editor window.
struct EditorSlot {
    std::int32_t Address = EmptySlot;
    std::array<std::uint8_t, 64> Pixels{};
};

using EditorSlotTable = std::array<EditorSlot, EditorSlotCount>;

// Makes every cell empty: EmptySlot with all pixels 0.
void ClearAllSlots(EditorSlotTable& slots);
