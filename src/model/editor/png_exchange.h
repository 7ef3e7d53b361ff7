#pragma once

#include "model/core/indexed_png.h"
#include "model/core/loaded.h"
#include "model/core/packed_color.h"
#include "model/editor/bmp_exchange.h"
#include "model/editor/editor_slots.h"
#include "model/editor/image_file_format.h"

#include <cstdint>
#include <optional>
#include <string>

// Palette PNG pictures of the editor and of the browser grid, and the import
// of a PNG into the editor. Pixels are color indices, kept exactly.

// The editor's 16 x 16 cells as one 128 x 128 picture laid out as the BMP
// export's (cell (c, r) pixel (x, y) at image (c * 8 + x, r * 8 + y)), 8 bits
// per pixel, all 256 working palette colors.
IndexedImage EditorPicture(const EditorSlotTable& slots, const WorkingPaletteTable& palette);

// The browser grid as shown, at 1:1 without grid lines: columns * 8 by
// lines * 8 pixels from the decoded tiles (64 indices each, tile
// line * columns + column), all 256 working palette colors.
IndexedImage BrowserGridPicture(const std::uint8_t* tilePixels, int columns, int lines,
                                const WorkingPaletteTable& palette);

// Reads a palette PNG for the editor: only 128 x 128 pixels are taken. The
// picture's colors are the PNG's palette over the current one, so entries
// the PNG does not have keep their colors. Store it with StoreBmpPicture.
Loaded<BmpFileContent> LoadPngPicture(const std::string& path, const WorkingPaletteTable& current);

// Writes a picture with WriteIndexedPng; the message to show when that fails.
std::optional<UserMessage> SavePngFile(const std::string& path, const IndexedImage& image);

// The picture file format: palette PNGs of any size, read and written with
// DecodeIndexedPng and EncodeIndexedPng.
extern const ImageFileFormat PngImageFile;
