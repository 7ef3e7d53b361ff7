#pragma once

#include "model/core/bookmark_list.h"
#include "model/core/color_set_list.h"
#include "model/core/editor_cells.h"
#include "model/core/mode_table.h"
#include "model/core/packed_color.h"
#include "model/core/pattern_list.h"
#include "model/core/rom_file.h"
#include "model/core/tile_store.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// What belongs to the open ROM and to the user's work: the file, the mode
// its tiles are read in, the editor cells, the palettes and the stored
// lists. Whether a file is open, its name and its length are asked of the
// file itself, so they cannot drift apart.
struct Document {
    RomFile FileHandle;

    bool FileOpen() const { return FileHandle.IsOpen(); }
    // Full path of the open file; empty when none is open.
    const std::string& FileName() const { return FileHandle.Path(); }
    // Measured when the file was opened; 0 when none is open.
    std::int32_t FileLength() const { return FileHandle.Length(); }

    // What the browser shows and tiles are read from and written to: the
    // file, or the unpacked bytes of a compressed stream in it.
    TileSourceKey ShownSource;
    std::unique_ptr<TileStore> ShownStream;  // null while the file itself is shown
    TileStore& Tiles() { return ShownStream ? *ShownStream : static_cast<TileStore&>(FileHandle); }
    const TileStore& Tiles() const { return ShownStream ? *ShownStream : static_cast<const TileStore&>(FileHandle); }
    // The length of what is shown: the file's, or the unpacked stream's.
    std::int32_t TilesLength() const { return Tiles().Length(); }

    GraphicsMode CurrentMode = ModeGameboy;

    EditorSlotTable EditorSlots{};

    WorkingPaletteTable WorkingPalette{};
    NesColorTable NesColors{};

    ColorSetList Sets;
    PatternList Patterns;
    BookmarkList Bookmarks;
};
