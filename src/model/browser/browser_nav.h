#pragma once

#include "model/core/tile_layout.h"

#include <cstdint>
#include <string_view>

// Address arithmetic of the browser's navigation controls. Lines and
// columns are the grid's as navigation counts them (BrowserRows): in a
// layout of blocks a line is a row of whole blocks.

// Range of the address scroll bar.
inline constexpr int AddressScrollMax = 32767;

// The address the scroll bar position stands for: the file span scaled to
// the position, rounded (halves to even) and cut down to whole grid lines,
// plus the fine offset. A file shorter than the grid gives 0, never a
// negative address.
std::int32_t ScrolledAddress(std::int32_t fileLength, int lines, int columns, int bytesPerTile, int position,
                             int fineOffset);

// The address a typed jump goes to: the text's leading number (read
// leniently), rounded, pulled back to the last full grid and never below 0.
std::int32_t JumpAddress(std::string_view text, std::int32_t fileLength, int lines, int columns, int bytesPerTile);

// Where the grid starts so that the tile at address shows as one of its
// tiles, and that tile's column and line. The grid starts at the address
// itself unless that would reach past the end of the file; it then starts
// whole tiles earlier (never before 0), so that the tile shows on the grid
// in the layout (lines and columns are the grid's own).
struct GridPlace {
    std::int32_t Start = 0;
    int Column = 0;
    int Line = 0;
};
GridPlace GridPlaceFor(std::int32_t address, std::int32_t fileLength, int lines, int columns, int bytesPerTile,
                       const TileLayout& layout = {});

// Scroll bar units per arrow key step for a browser of the given client
// height: 32767 divided by the height, at most 255.
std::uint8_t ScrollStepsFor(int clientHeight);

enum class ScrollKey { Up, Down, PageUp, PageDown, Home, End };

// The address scroll bar position after one key press: big steps of
// ScrollSteps + 1 (4 x ScrollSteps + 1 for the page keys), single steps near
// the ends, never outside 0..32767.
int ScrollKeyPosition(ScrollKey key, int position, int scrollSteps);

// The fine offset one step left (-1) or right (+1), wrapping between 0 and
// bytesPerTile inclusive.
int StepFineOffset(int fineOffset, int delta, int bytesPerTile);

// The address `steps` grid lines on from `address` (back for negative
// steps): exactly steps x columns x bytesPerTile bytes, whatever the scroll
// bar resolution. Never below 0; forward it stops at the last full grid
// (the jump's limit), and an address already past that does not move back.
std::int32_t WheelAddress(std::int32_t address, int steps, std::int32_t fileLength, int lines, int columns,
                          int bytesPerTile);

// The address scroll bar position whose scrolled address lies nearest to
// `address`, so that the scroll bar shows about where the view is.
int ScrollPositionFor(std::int32_t address, std::int32_t fileLength, int lines, int columns, int bytesPerTile,
                      int fineOffset);
