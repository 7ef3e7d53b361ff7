#pragma once

#include "model/core/mode_table.h"
#include "model/core/tile_store.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// How consoles store a background: a grid of entries, each naming a tile,
// a palette row and flips. The entry formats below are read and written
// from their bytes; nothing here reads a file.

enum class TilemapFormat : std::uint8_t { GameBoy, Nes, Snes, GbaText, Gba8bpp, MegaDrive };

struct TilemapFormatInfo {
    TilemapFormat Format;
    std::string_view Name;       // "Game Boy", shown in the window's list
    std::string_view ShortName;  // "gb", the command line's --format
    int EntryBytes;              // 1 or 2
    int MaxTile;                 // largest tile number an entry holds
    int MaxPalette;              // largest palette number (0: none)
    bool HasFlips;
    bool HasPriority;
    GraphicsMode TypicalMode;  // the tile mode the window proposes
};

// The formats in the window's order.
std::span<const TilemapFormatInfo> TilemapFormats();
const TilemapFormatInfo& FormatInfo(TilemapFormat format);
std::optional<TilemapFormat> TilemapFormatNamed(std::string_view shortName);

// One entry as the console reads it. Tile may be negative for Game Boy
// maps with signed tile numbers (tiles before the base address).
struct TilemapEntry {
    int Tile = 0;
    int Palette = 0;
    bool FlipX = false;
    bool FlipY = false;
    bool Priority = false;

    bool operator==(const TilemapEntry&) const = default;
};

// Where a map lies and how its entries are read. Addresses count in the
// store the map (or the tiles) are read from.
struct TilemapShape {
    TilemapFormat Format = TilemapFormat::GameBoy;
    std::int64_t MapAddress = 0;
    int Width = 32;                 // entries a row, 1 .. MaxTilemapSide
    int Height = 32;                // rows, 1 .. MaxTilemapSide
    bool SignedTiles = false;       // Game Boy: tile numbers -128 .. 127
    std::int64_t TilesAddress = 0;  // where tile 0 lies
    GraphicsMode TileMode = ModeGameboy;
    int PaletteBase = 0;  // palette row of the working palette that palette number 0 picks
};

inline constexpr int MaxTilemapSide = 256;

// Why a map cannot be read as given: a format that is none of the list, a
// side outside 1 .. MaxTilemapSide, an unknown tile mode or a palette base
// outside 0 .. 255; nullopt when it can. Addresses may be anything: bytes
// before 0 or past the end of a store simply are not there. SignedTiles is
// read for Game Boy maps only.
std::optional<std::string> TilemapShapeProblem(const TilemapShape& shape);

// The bytes the map takes: Width * Height entries, then for the NES one
// attribute byte for every 4x4 entries (a 32 x 30 nametable takes 960 + 64).
// 0 for a shape with a problem.
std::int64_t TilemapByteCount(const TilemapShape& shape);

// The entries of a map from its TilemapByteCount bytes, row by row.
// Missing bytes (a map cut short by the end of the store) read as 0. No
// entries for a shape with a problem.
std::vector<TilemapEntry> DecodeTilemap(const TilemapShape& shape, std::span<const std::uint8_t> mapBytes);

// The blocks to write (offsets from the map's address) so that entry
// `index` holds `entry`: the entry's own bytes, and for the NES the
// attribute byte that holds its palette (which is shared by its 2x2
// quadrant). Every bit the entry does not own stays as mapBytes has it (the
// other quadrants of the attribute byte, GBA 8bpp's palette bits). Refused
// with nullopt: values out of the format's range (a palette, flip or priority
// the format does not hold), an index outside the map, a shape with a problem.
std::optional<std::vector<ByteBlock>> EncodeEntryChange(const TilemapShape& shape, std::span<const std::uint8_t> mapBytes,
                                                        int index, const TilemapEntry& entry);
