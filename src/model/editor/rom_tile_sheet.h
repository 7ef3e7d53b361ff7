#pragma once

#include "model/core/indexed_png.h"
#include "model/core/mode_table.h"
#include "model/core/tile_layout.h"
#include "model/core/tile_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A run of the ROM's tiles as one picture and a picture's tiles written back
// into the ROM, laid out as a tile sheet (core/tile_sheet.h).

// `Count` tiles of `Mode` from `Address` on, `Columns` tiles a row.
struct TileRun {
    GraphicsMode Mode = ModeGameboy;
    std::int32_t Address = 0;
    int Count = 0;
    int Columns = 16;
    TileLayout Layout;  // blocks of tiles on the sheet; the row order by default
};

// The run's tiles as one image with no palette: left to right, top to
// bottom (or in the run's block layout, whose blocks the columns must
// hold whole); cells after the last tile hold index 0. The file is read in large
// blocks. The reason instead when the run does not lie inside the file or
// the image would be too large, checked before anything is read or
// allocated.
std::optional<std::string> DecodeRomTiles(const TileStore& rom, const TileRun& run, IndexedImage& image);

// What writing an image's tiles into a ROM would change or changed.
struct EncodeReport {
    int Tiles = 0;
    std::int64_t Bytes = 0;  // bytes of the whole block
    int ChangedTiles = 0;
    std::int64_t ChangedBytes = 0;
    std::vector<std::int64_t> FirstChangedOffsets;  // file offsets, at most 8
};

// EncodeImageIntoRom's tiles argument for every cell of the image.
inline constexpr int EveryCell = 0;

// Encodes the first `tiles` 8x8 cells of the image (left to right, top to
// bottom, or in the layout's order, the tiles of block after block;
// EveryCell: all of them, and the sides must then hold whole blocks) in `mode` and, unless dryRun, writes the
// block at address with one write; the cells after them are neither read
// nor written. Refused, with nothing written: sides that are not multiples
// of 8, more tiles than cells, an index above the mode's largest in a cell
// to write (naming the first such pixel), a block outside the file, a write
// the file refuses.
std::optional<std::string> EncodeImageIntoRom(const IndexedImage& image, TileStore& rom, GraphicsMode mode,
                                              std::int32_t address, bool dryRun, EncodeReport& report,
                                              int tiles = EveryCell, const TileLayout& layout = {});
