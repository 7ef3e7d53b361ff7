#pragma once

#include "model/codec/stream_codec.h"

// DS LZ11 ("type 0x11"): LZ77's stream with references of 3..65808 bytes in
// two-, three- or four-byte tokens by their length.
extern const StreamCodec Lz11Codec;
