#pragma once

#include "model/core/editor_cells.h"
#include "model/core/loaded.h"
#include "model/core/packed_color.h"
#include "model/core/rgba_png.h"
#include "model/editor/color_mapping.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A picture from another program pasted into the editor: its top-left
// pixel goes to the top-left of a cell, and the part that fits on the
// 128 x 128 canvas covers the cells from there, right and down.

struct PastedPicture {
    int Width = 0;  // the part that fits, in pixels
    int Height = 0;
    std::vector<std::uint8_t> Indices;  // Width * Height, row-major
    // How well the colors matched; empty when the picture's own color
    // indices were kept.
    std::optional<ColorMatch> Match;
};

// How much of a width x height picture fits on the canvas from the cell at
// slot: {width, height}, each at most what lies right of and below the
// cell's top-left corner.
std::array<int, 2> PasteSizeAt(int slot, int width, int height);

// The part of a truecolor picture that fits from slot, each pixel mapped
// onto the nearest of the palette colors the mode's pixel values show.
PastedPicture PasteFromRgba(const RgbaImage& picture, const WorkingPaletteTable& palette, int bitsPerPixel, int slot);

// A PNG taken from the clipboard. A palette PNG whose used indices are all
// pixel values of the mode showing the working palette's own colors keeps
// its indices (a copy of Brixel's own cells comes back exactly); any other
// PNG is mapped through its colors like PasteFromRgba. A damaged PNG is
// refused with the reason.
Loaded<PastedPicture> PasteFromPng(const std::vector<std::uint8_t>& bytes, const WorkingPaletteTable& palette,
                                   int bitsPerPixel, int slot);

// Writes the picture over the cells from slot on: the pixels it covers are
// replaced and the rest kept, an empty cell becomes an unbound one, and
// every cell sharing a changed cell's address gets the same pixels, as
// painting does. Returns the changed cells in slot order.
std::vector<int> PasteIntoCells(EditorSlotTable& slots, int slot, const PastedPicture& picture);

// The information line after a paste: "Pasted 8 x 8 pixels into 1 cell: all
// 64 pixels matched a palette color exactly" or "...: the picture's color
// indices were kept".
std::string PasteReport(const PastedPicture& picture, int cellCount);
