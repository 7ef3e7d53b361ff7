#pragma once

#include "palette/color_sets.h"
#include "palette/palette_load.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The palette files the color set window reads and writes: the program's own
// file of many sets (.bxp), the Microsoft RIFF palette (.pal, 256 colors)
// and the Tile Layer DOS palette (.pal, 16 colors of 6 bits). The readers
// take untrusted bytes; the file-level helpers add the file handling and the
// user's messages.

// The first 24 bytes of a 256 color RIFF palette: "RIFF", size 1044, "PAL ",
// "data", chunk size 1032, version 0x300, 256 entries.
extern const std::array<std::uint8_t, 24> RiffHeader;

inline constexpr std::size_t RiffPaletteSize = 1052;
inline constexpr std::size_t TileLayerPaletteSize = 48;

// The own file holds at most 255 sets of 769 bytes plus their descriptions;
// only this much of a file is read, so a huge foreign file never makes a huge
// buffer. Sets past it count as cut short.
inline constexpr std::size_t OwnPaletteReadLimit = 16 * 1024 * 1024;

// "BXP", then per set its description, a 0 byte and 256 colors as red,
// green, blue bytes.
std::vector<std::uint8_t> BuildOwnPaletteFile(const ColorSetList& list);

// The complete sets in file order, at most 255; a set cut short is dropped.
// Only a wrong magic is an error: the magic alone gives zero sets.
PaletteLoad ReadOwnPaletteFile(const std::vector<std::uint8_t>& bytes);

// RiffHeader, 256 entries red, green, blue, 0, and four zero bytes.
std::vector<std::uint8_t> BuildRiffPalette(const Palette256& colors);

// One set "RIFF palette"; refuses any size but 1052 and any other header.
PaletteLoad ReadRiffPalette(const std::vector<std::uint8_t>& bytes);

// Colors 0-15 as 48 bytes, each channel divided by 4.
std::vector<std::uint8_t> BuildTileLayerPalette(const Palette256& colors);

// One set "Tile Layer palette": 16 colors scaled from 6 bits (above 62 gives
// 255, else v * 4.1 truncated), the rest black. Missing bytes read as 0.
PaletteLoad ReadTileLayerPalette(const std::vector<std::uint8_t>& bytes);

// Reads a file of the own, RIFF or Tile Layer format. A missing or unreadable
// file gives its message; the savestate formats are loaded elsewhere and give
// an empty result here.
PaletteLoad LoadPaletteFile(const std::string& path, PaletteFileFormat format);

// Writes all sets (own format) or the selected set (RIFF, Tile Layer) with
// WriteFileAtomically; the message to show when that fails.
std::optional<UserMessage> SavePaletteFile(const std::string& path, PaletteFileFormat format, const ColorSetList& list);
