#pragma once

#include "model/palette/palette_load.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the savestate formats share: where a palette lies in the file, how
// its stored values become colors, and the reading of a file known by its
// exact size. Only the palette bytes are read, never the whole file. A set
// holds the colors found in the file and black after them.

// How the stored values of a savestate become colors.
enum class Conversion {
    Nes,    // one byte, an index into the NES master colors
    Rgb15,  // a 15-bit word, red in the high bits
    Bgr15,  // a 15-bit word, red in the low bits
    Cygne,  // a 12-bit WonderSwan word
};

// Where a palette lies in the file and what it holds. A layout with a second
// description has two sets, the second right after the first.
struct PaletteLayout {
    std::int64_t Offset;
    int ColorCount;  // per set
    Conversion Kind;
    const char* FirstDescription;
    const char* SecondDescription;  // nullptr for a single set
};

// A savestate recognised by its exact size alone.
struct FixedSizeSavestate {
    std::int64_t FileSize;
    const char* SizeMessage;  // shown without icon, captioned "Brixel"
    PaletteLayout Palette;
};

std::size_t PaletteBytes(const PaletteLayout& layout);

// A savestate message: two lines, no icon, captioned with the program's name.
PaletteLoad RefusedSavestate(const char* text);

// Turns the palette bytes into the layout's sets. Colors the bytes do not
// hold (a file that shrank after its size was checked) stay black.
PaletteLoad DecodeSets(const std::vector<std::uint8_t>& bytes, const PaletteLayout& layout,
                       const NesColorTable& nesColors);

// Reads and decodes the palette at the layout's offset; a file that cannot
// be read gives FileUnreadableMessage.
PaletteLoad ReadPaletteAt(const std::string& path, const PaletteLayout& layout, const NesColorTable& nesColors);

// Refuses a file of another size with the savestate's message, then reads
// its palette. The window has checked that the name exists, so a file that
// cannot be looked at counts as unreadable.
PaletteLoad ReadFixedSizeSavestate(const std::string& path, const FixedSizeSavestate& savestate,
                                   const NesColorTable& nesColors);

// ReadFixedSizeSavestate as a format's reader.
template <const FixedSizeSavestate& Savestate>
PaletteLoad ReadFixedSizeSavestateFile(const std::string& path, const NesColorTable& nesColors)
{
    return ReadFixedSizeSavestate(path, Savestate, nesColors);
}
