#pragma once

#include "model/codec/stream_codec.h"

// The GBA and DS BIOS run-length format (RLUnComp): header byte 0x30 and a
// 24-bit unpacked size, then blocks of a run of one byte or a row of
// literal bytes.
extern const StreamCodec RleCodec;
