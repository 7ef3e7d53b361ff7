#pragma once

#include "model/core/loaded.h"
#include "model/palette/color_encoding.h"
#include "model/palette/color_sets.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a palette load found: the sets in file order, or the reason it
// refused the file (then no sets).
struct PaletteSets {
    std::vector<ColorSetEntry> Sets;
};
using PaletteLoad = Loaded<PaletteSets>;

// One file format of the color set window: its entry in the file dialogs,
// how it is read and written, and where its sets go. Each format defines
// one of these in its own file; palette_formats.cpp lists them.
struct PaletteFileFormat {
    std::string_view Label;     // "Microsoft RIFF palette file (*.pal)"
    std::string_view Patterns;  // "*.pal"
    std::string_view Name;      // "riff", the format's name on the command line

    // A format judged by its first bytes: how much of the file is read, and
    // the reader of those bytes.
    FileLoadRule FileRead{};
    PaletteLoad (*ReadBytes)(const std::vector<std::uint8_t>& bytes) = nullptr;

    // A format that reads only parts of a large file itself (the
    // savestates); used instead of FileRead and ReadBytes when set.
    PaletteLoad (*ReadFile)(const std::string& path, const NesColorTable& nesColors) = nullptr;

    // The file's bytes for the list; nullptr for a format that is only read.
    std::vector<std::uint8_t> (*Write)(const ColorSetList& list) = nullptr;

    // Loaded sets replace the list; otherwise they are appended, and the
    // load needs SetCount below RoomBelow, checked before the file is read.
    bool ReplacesList = false;
    int RoomBelow = MaxSetCount;

    // A format with nothing to check takes every file, so among formats
    // that share an extension it is tried after those that check theirs.
    bool TakesAnyFile = false;
};

// The colors a single-set format writes: those of the selected set.
inline const Palette256& SelectedColors(const ColorSetList& list)
{
    return list.ColorSets[list.SelectedSet].Colors;
}

// A load of one set.
inline PaletteLoad OneSetLoad(const Palette256& colors, const char* description)
{
    PaletteLoad load{};
    load.Sets.push_back({colors, description});
    return load;
}
