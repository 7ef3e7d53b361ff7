#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

// A compression format that ROMs store graphics in. Each codec is one entry
// in the list of model/codec/stream_codecs.h, with its own file pair.

// Unpackers never make more than this unless told otherwise.
inline constexpr std::size_t DefaultUnpackLimit = std::size_t{16} << 20;

// Why an unpacker refused a stream.
enum class UnpackStatus {
    Unpacked,
    PastEnd,      // the stream runs past the end of the bytes it was given
    BeforeStart,  // a back reference points before the start of the output
    TooLarge,     // the output would grow beyond the limit
    Corrupt,      // any other malformed content (a bad header, a bad code table)
};

struct UnpackResult {
    UnpackStatus Status = UnpackStatus::Unpacked;
    // The unpacked bytes; empty when refused (never partial output).
    std::vector<std::uint8_t> Bytes;
    // How many input bytes the stream took, header and end marker included.
    std::size_t PackedLength = 0;
    // For the user when refused: what is wrong, as a sentence fragment
    // ("a back reference points 18 bytes before the start of the data").
    std::string Reason;

    explicit operator bool() const { return Status == UnpackStatus::Unpacked; }
};

// Refusal with a reason; the bytes stay empty.
inline UnpackResult RefusedStream(UnpackStatus status, std::string reason)
{
    UnpackResult result;
    result.Status = status;
    result.Reason = std::move(reason);
    return result;
}

struct PackOptions {
    // No back reference of distance 1 (GBA video memory takes 16-bit writes
    // only, so the BIOS copy must not read the byte it has just written).
    bool VramSafe = true;
};

struct PackResult {
    std::vector<std::uint8_t> Bytes;
    // Why the input cannot be packed in this format (too long for its size
    // field, not a whole number of tiles); empty when packed.
    std::string Error;

    explicit operator bool() const { return Error.empty(); }
};

// What a quick look at a stream's first bytes says.
inline constexpr std::size_t UnknownUnpackedSize = static_cast<std::size_t>(-1);

struct StreamCodec {
    // For the user: "LZ77", "LC_LZ2"; used in captions and results.
    const char* Name;
    // For the command line: "lz77", "lc_lz2".
    const char* ShortName;
    // Streams start on multiples of this in the ROM, and a stream's room is
    // its packed length rounded up to it (4 for the GBA BIOS formats).
    int Alignment;
    // Unpacks the stream at the start of input (the bytes from the stream's
    // address to the end of the file, or fewer). Reads nothing outside
    // input, never makes more than limit bytes, never returns partial
    // output.
    UnpackResult (*Unpack)(std::span<const std::uint8_t> input, std::size_t limit);
    // Packs input so that Unpack gives it back exactly.
    PackResult (*Pack)(std::span<const std::uint8_t> input, const PackOptions& options);
    // Reads at most the first 16 bytes of head: nullopt when they cannot
    // start a stream of this codec, else the unpacked size the header
    // declares, or UnknownUnpackedSize when the format does not declare it.
    std::optional<std::size_t> (*Probe)(std::span<const std::uint8_t> head);
};
