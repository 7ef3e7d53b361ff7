#pragma once

#include "model/codec/stream_codec.h"

// The GBA and DS BIOS Huffman format (HuffUnComp): header byte 0x24 (4-bit
// symbols, the low half of each byte first) or 0x28 (8-bit symbols) and a
// 24-bit unpacked size, a code tree table, then the code bits in 32-bit
// little-endian words, highest bit first.
extern const StreamCodec Huffman4Codec;
extern const StreamCodec Huffman8Codec;
