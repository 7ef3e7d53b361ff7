#pragma once

#include "model/palette/palette_load.h"

#include <optional>
#include <string>

// Loading and saving a palette file in one of the formats of
// palette_formats.h.

// Reads the file with the format's reader. A format read by its bytes gives
// the shared message for a missing or unreadable file; a savestate reads
// its file itself.
PaletteLoad LoadPaletteFile(const std::string& path, const PaletteFileFormat& format, const NesColorTable& nesColors);

// Writes the format's bytes of the list with WriteFileAtomically; the
// message to show when that fails (also for a format that is only read).
std::optional<UserMessage> SavePaletteFile(const std::string& path, const PaletteFileFormat& format,
                                           const ColorSetList& list);
