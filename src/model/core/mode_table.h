#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// One graphics mode: how an 8x8 tile is stored in the file.
struct ModeInfo {
    std::string_view Name;      // shown in the mode list and the browser caption
    std::int16_t BytesPerTile;  // bytes of one tile; the step between consecutive tiles
    std::uint8_t BitsPerPixel;  // a decoded pixel is always below 2 to this power
};

inline constexpr int ModeCount = 12;

// The twelve modes, named by their place in the mode table. The numbering
// never changes. A mode is stored as one of these names (CurrentMode, a
// cell's mode), so a plain number cannot be assigned by mistake; the names
// convert to the table index wherever a table or a codec takes one.
enum GraphicsMode : std::uint8_t {
    ModeGameboy = 0,
    ModeNes = 1,
    ModeNeoGeoPocket = 2,
    ModeSnes4bpp = 3,
    ModeOneBit = 4,
    ModeVirtualBoy = 5,
    ModeSegaGenesis = 6,
    ModeGgMsWsc = 7,
    ModeSnes3bpp = 8,
    ModeGba4bpp = 9,
    ModeGba8bpp = 10,
    ModeSnes8bpp = 11,
};

using ModeInfoTable = std::array<ModeInfo, ModeCount>;

// The twelve modes in table order.
inline constexpr ModeInfoTable StandardModes{{
    {"Gameboy", 16, 2},
    {"NES", 16, 2},
    {"Neo Geo Pocket", 16, 2},
    {"SNES 4bpp", 32, 4},
    {"1 bit per pixel", 8, 1},
    {"Virtual Boy", 16, 2},
    {"Sega Genesis", 32, 4},
    {"GG, MS, WSC", 32, 4},
    {"SNES 3bpp", 24, 3},
    {"GBA 4bpp", 32, 4},
    {"GBA 8bpp", 64, 8},
    {"SNES 8bpp", 64, 8},
}};

// Each name stands at its own table entry.
static_assert(StandardModes[ModeGameboy].Name == "Gameboy" && StandardModes[ModeNes].Name == "NES" &&
              StandardModes[ModeNeoGeoPocket].Name == "Neo Geo Pocket" &&
              StandardModes[ModeSnes4bpp].Name == "SNES 4bpp" && StandardModes[ModeOneBit].Name == "1 bit per pixel" &&
              StandardModes[ModeVirtualBoy].Name == "Virtual Boy" &&
              StandardModes[ModeSegaGenesis].Name == "Sega Genesis" &&
              StandardModes[ModeGgMsWsc].Name == "GG, MS, WSC" && StandardModes[ModeSnes3bpp].Name == "SNES 3bpp" &&
              StandardModes[ModeGba4bpp].Name == "GBA 4bpp" && StandardModes[ModeGba8bpp].Name == "GBA 8bpp" &&
              StandardModes[ModeSnes8bpp].Name == "SNES 8bpp");

// The mode list shows the modes in this order; entry n selects ModeListOrder[n].
inline constexpr std::array<GraphicsMode, ModeCount> ModeListOrder{
    ModeOneBit,   ModeGameboy,  ModeNes,      ModeVirtualBoy,   ModeGba4bpp,     ModeGba8bpp,
    ModeSnes4bpp, ModeSnes3bpp, ModeSnes8bpp, ModeNeoGeoPocket, ModeSegaGenesis, ModeGgMsWsc,
};

// The largest tile of any mode, in bytes.
inline constexpr int MaxBytesPerTile = 64;

constexpr bool IsValidMode(std::uint8_t mode)
{
    return mode < ModeCount;
}

// Writes the twelve mode records into the program's mode table.
void FillModeTable(ModeInfoTable& table);
