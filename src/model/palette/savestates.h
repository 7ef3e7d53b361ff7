#pragma once

#include "model/palette/palette_load.h"

// The emulator savestates the color set window takes palettes from. They
// are only read, and each reads just its palette bytes (savestate_reading.h).
// A file whose size or header does not match is refused with the message
// for the user.

// 32 NES bytes at 22791 of a file of exactly 22992 bytes.
extern const PaletteFileFormat NesticleSavestate;
// Object and background palettes, 256 RGB words each, at 312536 of a file
// of exactly 509144 bytes.
extern const PaletteFileFormat VgbaSavestate;
// 64 RGB words at 1628 of a file above 1756 bytes that starts with
// "no$gmb snapshot".
extern const PaletteFileFormat NocashSavestate;
// 256 BGR words at 52243 of a file of exactly 274047 bytes.
extern const PaletteFileFormat ZSnesSavestate;
// Object and background palettes, 256 BGR words each, at 297421 of the
// decompressed gzip stream.
extern const PaletteFileFormat BoycottSavestate;
// 256 12-bit words at 66120 of a file of exactly 135674 bytes.
extern const PaletteFileFormat CygneSavestate;
// Background and object palettes, 32 BGR words each, wherever the CORE
// block of the BESS footer at the file's end says they are.
extern const PaletteFileFormat BessSavestate;
// 32 NES bytes in the PRAM chunk of the PPU section of an uncompressed
// FCE Ultra savestate.
extern const PaletteFileFormat FceuxSavestate;
