#include "model/core/program_state.h"

#include "model/core/default_palettes.h"

#include <algorithm>
#include <limits>

void InitState(ProgramState& state)
{
    state.BrowserColumns = 8;
    state.BrowserLines = 16;
    state.TileWidth = TileSide;
    state.TileHeight = TileSide;
    state.BrowserZoom = 3;

    state.EditorZoom = 3;
    state.PaletteColumns = 4;
    state.CurrentMode = ModeGameboy;

    state.GridColor = MakePackedColor(0, 0, 0);
    state.SelectionColor = MakePackedColor(255, 255, 255);
    state.EmptyColor = MakePackedColor(128, 128, 128);
    state.BrowserGrid = true;

    FillModeTable(state.ModeTable);
    ClearAllSlots(state.EditorSlots);
    InitDefaultPalettes(state.WorkingPalette, state.NesColors);
}

const ModeInfo& CurrentModeInfo(const ProgramState& state)
{
    return state.ModeTable[IsValidMode(state.CurrentMode) ? state.CurrentMode : ModeGameboy];
}

std::int64_t TileAddressAt(const ProgramState& state, int column, int line)
{
    return static_cast<std::int64_t>(state.BrowserAddress) +
           static_cast<std::int64_t>(CurrentModeInfo(state).BytesPerTile) *
               LayoutTileIndex(state.BrowserLayout, state.BrowserColumns, column, line);
}

LayoutRows BrowserRows(const View& view)
{
    return LayoutRowsOf(view.BrowserLayout, view.BrowserColumns, view.BrowserLines);
}

int CursorSlot(const View& view)
{
    return SlotAt(view.EditorCursorCol, view.EditorCursorRow);
}

std::int32_t SelectedTileAddress(const ProgramState& state)
{
    const std::int64_t address = TileAddressAt(state, state.BrowserSelX, state.BrowserSelY);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(address, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}
