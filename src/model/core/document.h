#pragma once

#include "model/core/bookmark_list.h"
#include "model/core/color_set_list.h"
#include "model/core/editor_cells.h"
#include "model/core/mode_table.h"
#include "model/core/packed_color.h"
#include "model/core/pattern_list.h"
#include "model/core/rom_file.h"

#include <array>
#include <cstdint>
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

    GraphicsMode CurrentMode = ModeGameboy;

    EditorSlotTable EditorSlots{};

    WorkingPaletteTable WorkingPalette{};
    NesColorTable NesColors{};

    ColorSetList Sets;
    PatternList Patterns;
    BookmarkList Bookmarks;
};
