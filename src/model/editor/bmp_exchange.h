#pragma once

#include "model/core/loaded.h"
#include "model/core/packed_color.h"
#include "model/editor/editor_slots.h"
#include "model/editor/image_file_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The editor's 16 x 16 cells as one 128 x 128 picture with 256 colors: the
// only BMP shape written and accepted. Image pixel (X, Y), Y from the top,
// is cell (Y / 8) * 16 + X / 8, entry (Y % 8) * 8 + X % 8; the file stores
// the bottom line first.

inline constexpr std::size_t BmpHeaderSize = 54;
inline constexpr std::size_t BmpColorTableSize = 256 * 4;
inline constexpr std::size_t BmpPixelOffset = BmpHeaderSize + BmpColorTableSize;  // 1078
inline constexpr std::size_t BmpImageSide = 128;
inline constexpr std::size_t BmpFileSize = BmpPixelOffset + BmpImageSide * BmpImageSide;  // 17462
// An import compares only this much of a file's header with BmpHeader.
inline constexpr std::size_t BmpComparedHeaderBytes = 32;

using BmpHeaderBytes = std::array<std::uint8_t, BmpHeaderSize>;
using BmpPalette = std::array<PackedColor, 256>;

// The 54 bytes of the file and info headers of the one accepted shape.
BmpHeaderBytes BuildBmpHeader();

// The header, the palette as blue, green, red, 0 and every cell's pixels,
// whatever the cell's address.
std::vector<std::uint8_t> BuildBmpFile(const BmpHeaderBytes& header, const EditorSlotTable& slots,
                                       const BmpPalette& palette);

// The cell and pixel entry of image pixel (x, y), y from the top.
struct CellPixel {
    int Cell = 0;
    int Entry = 0;
};
CellPixel CellPixelAt(int x, int y);

// A picture read from a file: every cell's pixels and the color table.
struct BmpPicture {
    std::array<TilePixels, EditorSlotCount> Cells{};
    BmpPalette Colors{};
};

struct BmpFileContent {
    BmpPicture Picture;
};
using BmpLoad = Loaded<BmpFileContent>;

// Checks the size (exactly BmpFileSize) and the first 32 header bytes, then
// reads the color table (the fourth byte of each entry is ignored) and the
// pixels.
BmpLoad ReadBmpFile(const BmpHeaderBytes& header, const std::vector<std::uint8_t>& bytes);

// Reads a file from disk; a file of the wrong size is refused without being
// read, so a huge file never makes a huge buffer.
BmpLoad LoadBmpFile(const BmpHeaderBytes& header, const std::string& path);

// Stores an imported picture: the palette is replaced, every cell takes its
// pixels and becomes EmptySlot when all of them are 0, else UnboundTile.
void StoreBmpPicture(const BmpPicture& picture, EditorSlotTable& slots, BmpPalette& palette);

// Writes the export with WriteFileAtomically; the message to show when that
// fails.
std::optional<UserMessage> SaveBmpFile(const std::string& path, const BmpHeaderBytes& header,
                                       const EditorSlotTable& slots, const BmpPalette& palette);

// The picture file format: reads a file of the one shape as a 128 x 128
// image with its 256 colors, and writes an image of that size with at most
// 256 colors (black after the last).
extern const ImageFileFormat BmpImageFile;
