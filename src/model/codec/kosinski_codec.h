#pragma once

#include "model/codec/stream_codec.h"

// Kosinski, the LZ format of many Sega Mega Drive games: descriptor words of
// 16 flag bits interleaved with the data bytes of the commands they start,
// back references up to 8 KiB, an end marker and no header. Plain streams
// only, not the moduled variants.
extern const StreamCodec KosinskiCodec;
