#pragma once

#include "model/core/indexed_png.h"
#include "model/core/loaded.h"
#include "model/core/packed_color.h"
#include "model/editor/bmp_exchange.h"
#include "model/editor/color_mapping.h"
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

// One tile's 64 indices as an 8 x 8 picture with all 256 working palette
// colors.
IndexedImage TilePicture(const std::uint8_t* tilePixels, const WorkingPaletteTable& palette);

// A PNG read for the editor. A palette PNG gives Picture and nothing else;
// a truecolor or grayscale one gives Picture mapped onto the working
// palette's first 2^bpp colors (Match says how well), and Built, the same
// picture over its own colors, when it has at most 2^bpp of them (otherwise
// NotBuilt says why).
struct PngPictureContent : BmpFileContent {
    std::optional<ColorMatch> Match;
    std::optional<BmpPicture> Built;
    std::string NotBuilt;
};

// Reads a PNG for the editor: only 128 x 128 pixels are taken. A palette
// PNG's colors go over the current ones, so entries the PNG does not have
// keep their colors; a truecolor picture keeps the current palette, or with
// Built only its first colors change. Store either with StoreBmpPicture.
// bitsPerPixel and modeName are the current mode's.
Loaded<PngPictureContent> LoadPngPicture(const std::string& path, const WorkingPaletteTable& current,
                                         int bitsPerPixel = 8, const std::string& modeName = "");

// Writes a picture with WriteIndexedPng; the message to show when that fails.
std::optional<UserMessage> SavePngFile(const std::string& path, const IndexedImage& image);

// The picture file format: palette PNGs of any size, read and written with
// DecodeIndexedPng and EncodeIndexedPng.
extern const ImageFileFormat PngImageFile;
