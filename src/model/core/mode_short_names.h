#pragma once

#include "model/core/mode_table.h"

#include <array>
#include <optional>
#include <string_view>

// The short name of every mode ("gb", "snes4", ...): what the command line
// takes for a mode and what a tile sheet's record keeps.
struct ModeShortNameEntry {
    std::string_view Short;
    GraphicsMode Mode;
};

// In the order of the program's mode list. SNES 2bpp tiles are stored like
// the Game Boy's and have no mode of their own: they are "gb".
inline constexpr std::array<ModeShortNameEntry, ModeCount> ModeShortNames{{
    {"1bpp", ModeOneBit},
    {"gb", ModeGameboy},
    {"nes", ModeNes},
    {"vb", ModeVirtualBoy},
    {"gba4", ModeGba4bpp},
    {"gba8", ModeGba8bpp},
    {"snes4", ModeSnes4bpp},
    {"snes3", ModeSnes3bpp},
    {"snes8", ModeSnes8bpp},
    {"ngp", ModeNeoGeoPocket},
    {"genesis", ModeSegaGenesis},
    {"gg", ModeGgMsWsc},
}};

std::string_view ModeShortName(GraphicsMode mode);
std::optional<GraphicsMode> ModeFromShortName(std::string_view name);
