#pragma once

#include "model/codec/length_cost_parse.h"
#include "model/codec/stream_codec.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

// What the GBA / DS BIOS LZ formats (LZ77 type 0x10, LZ11 type 0x11) share:
// a header of the type byte and the unpacked size, then groups of up to
// eight tokens, each group led by a flag byte read from its top bit down
// (0: one literal byte, 1: a back reference whose form is the format's).
// Output stops as soon as the declared size is reached.

enum class BiosLzHeaderProblem { None, Cut, WrongType, NoData, TooLarge };

struct BiosLzHeader {
    BiosLzHeaderProblem Problem = BiosLzHeaderProblem::None;
    std::size_t Length = 0;  // header bytes
    std::size_t Size = 0;    // unpacked bytes declared
};

// Reads the type byte and the 24-bit little-endian size after it. With
// extendedSize, a 24-bit size of 0 means a 32-bit size follows. A declared
// size of 0 is refused: nothing packs to it, and taking it would find an
// "empty stream" wherever a ROM holds the type byte before three zeros.
BiosLzHeader ReadBiosLzHeader(std::span<const std::uint8_t> input, std::uint8_t typeByte, bool extendedSize,
                              std::size_t limit);

// The refusal for a header with a problem, with its reason.
UnpackResult RefusedBiosLzHeader(const BiosLzHeader& header, std::uint8_t typeByte, std::size_t limit);

UnpackResult BiosLzCutShort();
UnpackResult BiosLzBeforeStart(std::size_t bytesBefore);
// A reference that would copy past the declared size: the BIOS would write
// beyond its buffer, so no real stream holds one.
UnpackResult BiosLzPastSize(std::size_t bytesPast, std::size_t size);

// ReadReference(const uint8_t* bytes, size_t available, size_t& length,
// size_t& distance) reads one reference token from available > 0 bytes and
// returns the bytes it took, or 0 when the token is cut short.
template <typename ReadReference>
UnpackResult UnpackBiosLzBody(std::span<const std::uint8_t> input, const BiosLzHeader& header,
                              ReadReference readReference)
{
    const std::uint8_t* in = input.data();
    const std::size_t inSize = input.size();
    const std::size_t size = header.Size;
    std::size_t at = header.Length;
    std::vector<std::uint8_t> bytes(size);
    std::uint8_t* out = bytes.data();
    std::size_t written = 0;
    while (written < size) {
        if (at >= inSize)
            return BiosLzCutShort();
        unsigned flags = in[at++];
        for (int token = 0; token < 8 && written < size; ++token, flags <<= 1) {
            if (at >= inSize)
                return BiosLzCutShort();
            if ((flags & 0x80) == 0) {
                out[written++] = in[at++];
                continue;
            }
            std::size_t length = 0, distance = 0;
            const std::size_t used = readReference(in + at, inSize - at, length, distance);
            if (used == 0)
                return BiosLzCutShort();
            at += used;
            if (distance > written)
                return BiosLzBeforeStart(distance - written);
            if (length > size - written)
                return BiosLzPastSize(length - (size - written), size);
            std::uint8_t* to = out + written;
            const std::uint8_t* source = to - distance;
            // Eight bytes a step when the source is at least that far back
            // and the buffer has room for the last step's overshoot.
            if (distance >= 8 && size - written >= length + 7) {
                for (std::size_t k = 0; k < length; k += 8)
                    std::memcpy(to + k, source + k, 8);
            } else {
                for (std::size_t k = 0; k < length; ++k)
                    to[k] = source[k];
            }
            written += length;
        }
    }
    UnpackResult result;
    result.Bytes = std::move(bytes);
    result.PackedLength = at;
    return result;
}

// For Probe: false when the tokens within head already show the stream is
// broken (a reference before the start or past the size); true when head
// runs out first.
template <typename ReadReference>
bool BiosLzHeadFits(std::span<const std::uint8_t> head, const BiosLzHeader& header, ReadReference readReference)
{
    std::size_t at = header.Length;
    std::size_t written = 0;
    while (written < header.Size && at < head.size()) {
        unsigned flags = head[at++];
        for (int token = 0; token < 8 && written < header.Size && at < head.size(); ++token, flags <<= 1) {
            if ((flags & 0x80) == 0) {
                ++written;
                ++at;
                continue;
            }
            std::size_t length = 0, distance = 0;
            const std::size_t used = readReference(head.data() + at, head.size() - at, length, distance);
            if (used == 0)
                return true;
            at += used;
            if (distance > written || length > header.Size - written)
                return false;
            written += length;
        }
    }
    return true;
}

// WriteReference(uint8_t* out, uint32_t length, uint32_t distance) writes
// one reference token (at most 4 bytes) and returns its length.
using BiosLzReferenceWriter = std::size_t (*)(std::uint8_t* out, std::uint32_t length, std::uint32_t distance);

// The header, then the tokens CheapestParse chose (tokenBits: what it
// returned) under their flag bytes, zero-padded to a multiple of 4 bytes
// (the BIOS reads streams word-aligned).
std::vector<std::uint8_t> WriteBiosLzStream(std::vector<std::uint8_t> header, std::span<const std::uint8_t> input,
                                            const LongestMatchTable& tokens, std::uint64_t tokenBits,
                                            BiosLzReferenceWriter writeReference);
