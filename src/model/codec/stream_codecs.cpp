#include "model/codec/stream_codecs.h"

#include "model/codec/huffman_codec.h"
#include "model/codec/kosinski_codec.h"
#include "model/codec/lc_lz2_codec.h"
#include "model/codec/lz11_codec.h"
#include "model/codec/lz77_codec.h"
#include "model/codec/nemesis_codec.h"
#include "model/codec/rle_codec.h"

#include <array>
#include <string>

namespace {

// One line a codec; a new codec goes last.
// clang-format off
constexpr std::array Codecs{
    &Lz77Codec,
    &Lz11Codec,
    &RleCodec,
    &Huffman4Codec,
    &Huffman8Codec,
    &LcLz2Codec,
    &NemesisCodec,
    &KosinskiCodec,
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

int StreamCodecIndex(std::string_view shortName)
{
    for (std::size_t i = 0; i < Codecs.size(); ++i) {
        if (shortName == Codecs[i]->ShortName)
            return static_cast<int>(i);
    }
    return -1;
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
