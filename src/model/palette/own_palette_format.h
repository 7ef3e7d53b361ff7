#pragma once

#include "model/palette/palette_load.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The program's own palette file (.bxp), every set of the list: "BXP", then
// per set its description, a 0 byte and 256 colors as red, green, blue
// bytes. There is no count; the sets run to the end of the file.

// At most 255 sets of 769 bytes plus their descriptions; only this much of
// a file is read, so a huge foreign file never makes a huge buffer. Sets
// past it count as cut short.
inline constexpr std::size_t OwnPaletteReadLimit = 16 * 1024 * 1024;

std::vector<std::uint8_t> BuildOwnPaletteFile(const ColorSetList& list);

// The complete sets in file order, at most 255; a set cut short is dropped.
// Only a wrong magic is an error: the magic alone gives zero sets.
PaletteLoad ReadOwnPaletteFile(const std::vector<std::uint8_t>& bytes);

// Its sets replace the list.
extern const PaletteFileFormat OwnPaletteFile;
