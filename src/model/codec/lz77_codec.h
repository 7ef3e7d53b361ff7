#pragma once

#include "model/codec/stream_codec.h"

// GBA / DS BIOS LZ77 ("type 0x10"): references of 3..18 bytes up to 4096
// bytes back in two-byte tokens.
extern const StreamCodec Lz77Codec;
