#pragma once

#include "model/codec/stream_codec.h"

// The smallest Kosinski stream for input: an optimal parse over every
// command form. Back references of distance 1 are fine on the Mega Drive
// (its unpacker writes bytes to work RAM), so the VRAM-safe option changes
// nothing.
PackResult PackKosinski(std::span<const std::uint8_t> input, const PackOptions& options);
