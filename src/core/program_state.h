#pragma once

#include "core/mode_table.h"
#include "core/packed_color.h"
#include "core/rom_file.h"
#include "editor/editor_slots.h"

#include <array>
#include <cstdint>
#include <string>

// Entries of the browser's decode buffer. The largest grid (16 x 16 tiles of
// 64 entries) fits well inside it.
inline constexpr int BrowserPixelCount = 40951;

// The one record of program-wide values. It is created once, filled by
// InitState and handed by reference to every window; a test builds its own.
// Values start at zero, false or empty; InitState sets the start-up values.
struct ProgramState {
    // The open ROM file.
    bool FileOpen = false;
    RomFile FileHandle;
    std::string FileName;  // full path; empty after a close
    std::int32_t FileLength = 0;

    // Graphics mode and browser view.
    std::uint8_t CurrentMode = 0;  // index into ModeTable
    std::int32_t BrowserAddress = 0;
    std::uint8_t BrowserDiv = 0;  // fine byte offset, 0 .. BytesPerTile
    std::int16_t BrowserColumns = 0;
    std::int16_t BrowserLines = 0;
    std::int16_t TileWidth = 0;
    std::int16_t TileHeight = 0;
    int BrowserZoom = 0;
    bool BrowserGrid = false;
    int BrowserSelX = 0;
    int BrowserSelY = 0;
    std::array<std::uint8_t, BrowserPixelCount> BrowserPixels{};

    // Editor view.
    std::uint8_t EditorZoom = 0;
    std::uint8_t EditMode = 0;  // 0 Select, 1 Paint, 2 Fill
    int EditorCursorCol = 0;
    std::int16_t EditorCursorRow = 0;
    EditorSlotTable EditorSlots{};

    // Palettes and colors.
    std::array<PackedColor, 256> WorkingPalette{};
    std::array<PackedColor, 64> NesColors{};
    std::uint8_t CurrentColor = 0;
    std::uint8_t PaletteColumns = 0;
    PackedColor GridColor = 0;
    PackedColor SelectionColor = 0;
    PackedColor EmptyColor = 0;
    PackedColor EmptyDrawColor = 0;

    ModeInfoTable ModeTable{};

    // Switches of the options window; they live here until that window does.
    bool ShowSaveWarning = true;
    bool MeasureRedrawTime = false;
};

// Sets the start-up values that belong to the state alone: browser and
// editor geometry, display colors, the mode table and empty editor cells.
void InitState(ProgramState& state);

// The current mode's record.
const ModeInfo& CurrentModeInfo(const ProgramState& state);

// File address of the browser's selected tile. Not checked against the file
// length; saturates at the 32-bit range instead of overflowing.
std::int32_t SelectedTileAddress(const ProgramState& state);
