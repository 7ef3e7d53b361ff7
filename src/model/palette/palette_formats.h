#pragma once

#include "model/palette/palette_load.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The palette file formats of the color set window, in the order of its
// file dialogs' filter entries. The open dialog lists every format, the
// save dialog those with a writer; the entry the user picks is the format,
// whatever the file's name or content.

std::span<const PaletteFileFormat* const> PaletteFileFormats();

// The formats in the order a file is tried when several take its name: the
// list's order, with the formats that take any file after the others.
std::vector<const PaletteFileFormat*> PaletteFormatsInTryOrder();

// The formats whose patterns take the file name of path, in try order.
std::vector<const PaletteFileFormat*> PaletteFormatsForPath(std::string_view path);

// The format of a command-line name ("riff"); nullptr for none.
const PaletteFileFormat* PaletteFormatNamed(std::string_view name);

// "label|patterns|label|patterns..." of the formats each dialog lists.
std::string PaletteLoadFilter();
std::string PaletteSaveFilter();

// The format of a filter entry (1-based, as FileChoice::FilterIndex);
// nullptr for a position the dialog does not list.
const PaletteFileFormat* PaletteFormatToLoad(int filterIndex);
const PaletteFileFormat* PaletteFormatToSave(int filterIndex);

// Whether the list has room for what the format loads (a format that
// replaces the list always has).
bool HasRoomToLoad(const ColorSetList& list, const PaletteFileFormat& format);
