#pragma once

#include "model/core/packed_color.h"
#include "model/core/tile_layout.h"

#include <cstdint>
#include <string>

// The editor's tool: what a press on the canvas does. The drawing tools
// after the first three came later; the first three keep their numbers.
enum class EditorTool : std::uint8_t { Select, Paint, Fill, FloodFill, Line, Rectangle, FilledRectangle };

// What only positions and shows the document: the browser's place, grid
// and selection, the editor's zoom and cursor, the palette panel's layout,
// the display colors and the switches of the options window.
struct View {
    // One width a kind of value: file addresses are std::int32_t like the
    // file's length, a color index is one byte, and every count, size,
    // zoom, offset and grid position is an int.

    // Browser.
    std::int32_t BrowserAddress = 0;
    int BrowserDiv = 0;  // fine byte offset, 0 .. BytesPerTile
    int BrowserColumns = 0;
    int BrowserLines = 0;
    int TileWidth = 0;
    int TileHeight = 0;
    int BrowserZoom = 0;
    bool BrowserGrid = false;
    int BrowserSelX = 0;
    int BrowserSelY = 0;
    TileLayout BrowserLayout;  // how the grid lays the tiles out; the row order by default
    std::string AddressFieldText = "0";  // the jump field as it reads now, typed or shown
    bool HexAddresses = false;  // addresses shown as 0x hexadecimal instead of decimal

    // Editor.
    int EditorZoom = 0;
    EditorTool EditMode = EditorTool::Select;
    int EditorCursorCol = 0;
    int EditorCursorRow = 0;
    bool EditorGrid = true;
    bool ShowEmptyCells = false;  // empty cells in their own color

    // Palette panel and display colors.
    std::uint8_t CurrentColor = 0;
    int PaletteColumns = 0;
    PackedColor GridColor = 0;
    PackedColor SelectionColor = 0;
    PackedColor EmptyColor = 0;
    PackedColor EmptyDrawColor = 0;

    // Switches of the options window.
    bool ShowSaveWarning = true;
    bool MeasureRedrawTime = false;
};
