#pragma once

#include "model/codec/stream_codec.h"

// Sega's Nemesis format (Mega Drive): runs of 4-bit pixels coded with a
// prefix code the stream carries, whole 8x8 tiles only. Streams start on
// even addresses: the console's decoder reads the header as one 16-bit word.
extern const StreamCodec NemesisCodec;
