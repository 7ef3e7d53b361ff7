// Every compression codec's unpacker on fuzzed streams. Input: the codec
// (1 byte, modulo the number of codecs), then the stream.
//
// Checks: an unpacker reads nothing outside its input (the sanitizers of a
// fuzzing build see that), refuses with a reason and no bytes, or unpacks
// at most the limit from at most its input; what it unpacked packs again
// into a stream that gives it back, with and without the VRAM-safe option.

#include "fuzz_support.h"
#include "model/codec/stream_codecs.h"

namespace {

constexpr std::size_t Limit = std::size_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto codecs = StreamCodecs();
    if (size < 1 || codecs.empty())
        return 0;
    const StreamCodec& codec = *codecs[data[0] % codecs.size()];
    const std::span<const std::uint8_t> stream(data + 1, size - 1);

    const UnpackResult unpacked = codec.Unpack(stream, Limit);
    if (!unpacked) {
        CHECK(unpacked.Bytes.empty());
        CHECK(!unpacked.Reason.empty());
        return 0;
    }
    CHECK(unpacked.PackedLength <= stream.size());
    CHECK(unpacked.Bytes.size() <= Limit);
    CHECK(codec.Probe(stream.first(std::min<std::size_t>(16, stream.size()))).has_value());

    for (const bool vramSafe : {true, false}) {
        const PackResult packed = codec.Pack(unpacked.Bytes, PackOptions{vramSafe});
        CHECK(packed);
        const UnpackResult again = codec.Unpack(packed.Bytes, Limit);
        CHECK(again);
        CHECK(again.Bytes == unpacked.Bytes);
    }
    return 0;
}
