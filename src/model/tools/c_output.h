#pragma once

#include "model/core/dialogs.h"

#include "model/core/packed_color.h"
#include "model/editor/editor_slots.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// C source output of the working palette and of the editor's tiles as GBA
// arrays. Texts use CR LF line ends; every value is "0x" with four upper-case
// hex digits followed by ", ".

// The entries of the C output window's lists, in list order.
inline constexpr std::array<const char*, 2> ColorCountItems{"16", "256"};
inline constexpr std::array<const char*, 2> PalModeItems{"15 bpc BGR", "15 bpc RGB"};
inline constexpr std::array<const char*, 2> TileModeItems{"GBA 16 bpp", "GBA 256 bpp"};
inline constexpr std::array<const char*, 4> SpriteSizeItems{"8", "16", "32", "64"};
inline constexpr std::array<const char*, 3> SpriteShapeItems{"Square", "Wide", "High"};

inline constexpr const char* CHeaderFilter = "C header files (*.h)|*.h";

// Tile packing, in the order of the tile mode list.
enum class SpriteTileMode : std::uint8_t { Gba16 = 0, Gba256 = 1 };

// The palette encoding of a position in the palette mode list ("15 bpc BGR"
// keeps red in the low bits).
std::uint8_t PalModeEncoding(int palModeIndex);

// The number of palette entries of a position in the color count list.
int ColorCountOf(int colorCountIndex);

// Sprite size and how many sprites fit the 128 x 128 editor.
struct SpriteLayout {
    int SpriteWidth = 8;
    int SpriteHeight = 8;
    int MaxRows = 16;
    int MaxLines = 16;
    int Rows = 1;   // sprites side by side
    int Lines = 1;  // sprite lines

    int TileCount() const { return (SpriteWidth / TileSide) * (SpriteHeight / TileSide) * Rows * Lines; }
};

// The layout for positions in the size and shape lists (a position outside
// a list counts as its first entry) and the wanted rows and lines, which are
// brought into 1 .. their maximum.
SpriteLayout UpdateSpriteLayout(int sizeIndex, int shapeIndex, int rows, int lines);

// "Convert R x L of W x H = T tiles" (without blanks around the x).
std::string SpriteLayoutInfo(const SpriteLayout& layout);
// The progress line before tile done, and the line after the last tile.
std::string ConvertingInfo(int done, int total);
std::string ConvertedInfo(int total);

// The palette array: the first count entries (1 .. 256) of the palette.
std::string PaletteCSource(const std::array<PackedColor, 256>& palette, const std::string& name, int count,
                           std::uint8_t encoding);

// Called before each tile with the tiles done so far and the total.
using TileProgress = std::function<void(int done, int total)>;

// One array per sprite, named stem + sprite number, cut from the editor grid
// from the top-left corner. The layout is clamped to the grid first, so no
// cell outside the 256 slots is read.
std::string SpriteCSource(const EditorSlotTable& slots, const std::string& stem, SpriteLayout layout,
                          SpriteTileMode mode, const TileProgress& progress = {});

// Writes the text in one piece; the message to show when that fails.
std::optional<UserMessage> SaveCHeader(const std::string& path, const std::string& text);
