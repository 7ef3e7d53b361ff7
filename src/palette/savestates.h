#pragma once

#include "palette/color_encoding.h"
#include "palette/palette_load.h"

#include <string>

// Reads the palette an emulator keeps inside its savestate file: NESticle,
// VGBA, No$gmb, ZSnes, Boycott Advance (a gzip stream) and Cygne. Only the
// palette bytes are read, never the whole file. A set holds the colors found
// in the file and black after them. The file is refused with the message for
// the user when its size or header does not match, or when the palette
// cannot be read. Formats that are no savestates give an empty load (no sets,
// no message).
PaletteLoad ReadSavestate(const std::string& path, PaletteFileFormat format, const NesColorTable& nesColors);
