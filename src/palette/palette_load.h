#pragma once

#include "core/dialogs.h"
#include "palette/color_sets.h"

#include <optional>
#include <string>
#include <vector>

// The file formats the color set window loads, numbered as the entries of
// its open dialog's filter (the first entry is 1).
enum class PaletteFileFormat {
    Own = 1,        // "Brixel palette file (*.bxp)"
    Riff = 2,       // "Microsoft RIFF palette file (*.pal)"
    TileLayer = 3,  // "Tile Layer DOS palette file (*.pal)"
    Nesticle = 4,
    Vgba = 5,
    Nocash = 6,
    ZSnes = 7,
    Boycott = 8,
    Cygne = 9,
};

// What a load found: the sets in file order, or the reason it refused the
// file (then no sets).
struct PaletteLoad {
    std::vector<ColorSetEntry> Sets;
    std::optional<UserMessage> Error;
};
