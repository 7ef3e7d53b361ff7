#include "model/codec/stream_codecs.h"

#include "model/codec/lz11_codec.h"
#include "model/codec/lz77_codec.h"

#include <array>
#include <string>

namespace {

// One line a codec; a new codec goes last.
// clang-format off
constexpr std::array Codecs{
    &Lz77Codec,
    &Lz11Codec,
};
// clang-format on

}  // namespace

std::span<const StreamCodec* const> StreamCodecs()
{
    return Codecs;
}

const StreamCodec* StreamCodecNamed(std::string_view shortName)
{
    for (const StreamCodec* codec : Codecs) {
        if (shortName == codec->ShortName)
            return codec;
    }
    return nullptr;
}

std::string StreamCodecShortNames()
{
    std::string names;
    for (const StreamCodec* codec : Codecs) {
        if (!names.empty())
            names += ", ";
        names += codec->ShortName;
    }
    return names;
}
