#pragma once

#include "fuzz_support.h"
#include "model/palette/color_encoding.h"
#include "model/palette/palette_files.h"
#include "model/palette/palette_load.h"
#include "model/palette/savestates.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where each emulator savestate keeps its palette and how its values become
// colors, written down here once more from the formats, so the reader is
// checked against a reading of its own.

enum class StoredColor {
    Nes,    // one byte, an index into the NES master colors
    Rgb15,  // 16-bit word, red in bits 10-14, blue in bits 0-4
    Bgr15,  // 16-bit word, red in bits 0-4, blue in bits 10-14
    Cygne,  // 16-bit word, 4 bits per channel: red 8-11, green 4-7, blue 0-3
};

struct SavestateLayout {
    const PaletteFileFormat* Format;
    std::int64_t FileSize;  // the exact size the format requires, or 0
    std::int64_t PaletteOffset;
    std::size_t ColorsPerSet;
    StoredColor Kind;
    std::vector<std::string> Descriptions;  // one per set; the sets follow each other
};

std::size_t PaletteBytes(const SavestateLayout& layout);

// The NES master colors handed to the reader: 64 different colors, so an
// index taken wrongly shows.
const NesColorTable& DistinctNesColors();

// Checks an accepted load against the palette bytes of the file: one set
// per description, each color decoded from its bytes, the colors past the
// palette black.
void CheckPalette(const PaletteLoad& load, const SavestateLayout& layout, const std::uint8_t* palette);

// The savestates known by their exact size. The input is compact, since
// these files are up to half a megabyte: a signed 16-bit little-endian
// change of the file size, then the palette bytes (missing ones are filler).
// The target writes a file of that size with the palette at its offset and
// checks that it is accepted exactly when the size is right, and then that
// its palette is read correctly.
void FuzzFixedSizeSavestate(const std::uint8_t* data, std::size_t size, const SavestateLayout& layout);

// The savestates known by their content. A refused file leaves no set and
// says so under the caption "Brixel"; an accepted one gives the sets named
// by descriptions, each with its first colorsPerSet colors read from a place
// in the file that inFile finds, and the rest black. Returns whether the
// file was accepted.
bool CheckFoundPalette(const PaletteLoad& load, const std::vector<std::string>& descriptions,
                       std::size_t colorsPerSet, const Bytes& file, bool (*inFile)(const Bytes&, const Palette256&));
