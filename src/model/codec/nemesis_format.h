#pragma once

#include <cstddef>

// The numbers of the Nemesis format that the unpacker and the packer share.
//
// A stream is a big-endian 16-bit header (bit 15: each row is stored XORed
// with the row before it; bits 0-14: the number of 8x8 tiles), a code table
// and a bitstream read from the top bit of each byte. The table is a list of
// bytes ended by 0xFF: a byte from 0x80 sets the nibble of the codes after
// it (its low 4 bits), a byte below 0x80 is a code entry (bits 4-6: run
// length - 1, bits 0-3: code length in bits) followed by the code itself.
// Each code of the bitstream stands for a run of 1 to 8 equal nibbles;
// nibbles fill 32-bit rows from the top, eight rows a tile, and a run goes
// on into the next row. Six 1 bits escape a run written in place: 3 bits
// run length - 1, then 4 bits nibble.

inline constexpr std::size_t NemesisTileBytes = 32;
inline constexpr std::size_t NemesisMaxTiles = 0x7FFF;
inline constexpr unsigned NemesisXorFlag = 0x8000;

inline constexpr int NemesisMaxCodeLength = 8;
inline constexpr int NemesisMaxRun = 8;

// The escape is the top four of the 256 entries the console's decoder looks
// codes up in (the next 8 bits of the stream), so no code may start with it
// or be a start of it.
inline constexpr unsigned NemesisEscapeFirstEntry = 0xFC;
inline constexpr int NemesisEscapeLength = 6;
inline constexpr int NemesisInlineRunBits = 7;

inline constexpr unsigned NemesisTableEnd = 0xFF;
inline constexpr unsigned NemesisNibbleByte = 0x80;
