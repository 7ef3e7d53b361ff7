#pragma once

#include "model/codec/stream_codec.h"

#include <cstdint>
#include <span>

// Packs whole tiles into the smallest Nemesis stream this packer finds: the
// code table and the split of pixel runs chosen together, with and without
// the row XOR, the smaller kept. Refuses what the header cannot count.
PackResult PackNemesis(std::span<const std::uint8_t> input);
