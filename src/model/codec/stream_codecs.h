#pragma once

#include "model/codec/stream_codec.h"

#include <span>
#include <string>
#include <string_view>

// Every compression codec, in the order menus and lists show them.
std::span<const StreamCodec* const> StreamCodecs();

// The codec of a command-line name ("lz77"); nullptr for none.
const StreamCodec* StreamCodecNamed(std::string_view shortName);

// The codec's place in the list, or -1 for a name no codec has.
int StreamCodecIndex(std::string_view shortName);

// "lz77, lz11, ..." for usage texts and messages.
std::string StreamCodecShortNames();
