#pragma once

#include "model/codec/stream_codec.h"
#include "model/core/tile_store.h"

#include <cstdint>

// Unpacks the stream that starts at address in the store. It reads a
// window after the address and widens it while the stream runs on past it,
// up to the store's end, so a small stream costs a small read.
UnpackResult UnpackAt(const TileStore& store, const StreamCodec& codec, std::int64_t address,
                      std::size_t limit = DefaultUnpackLimit);
