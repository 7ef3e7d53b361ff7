#pragma once

#include "cli/cli_args.h"
#include "model/codec/stream_view.h"
#include "model/core/indexed_png.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// decode and encode on the unpacked bytes of a compressed stream: --codec C
// --stream S name the stream at file address S; --address then counts in
// its unpacked bytes. A PNG decoded from a stream records both, so encode
// writes it back into the same stream.

inline constexpr std::string_view RecordCodecKey = "Brixel codec";
inline constexpr std::string_view RecordStreamKey = "Brixel stream";

struct StreamChoice {
    std::string Codec;  // short name
    std::int32_t Address = 0;
};

// The stream the options name; nullopt without --codec. --codec without
// --stream (or the other way round) is a usage error.
std::optional<StreamChoice> StreamOptions(const ParsedArgs& parsed);

// The stream a decoded PNG records; nullopt when it records none.
std::optional<StreamChoice> RecordedStream(const IndexedImage& image);

// The texts decode adds to its PNG for a stream.
std::vector<PngText> StreamRecordTexts(const StreamChoice& stream);

// Unpacks the stream for reading and writing tiles; CliFailure with the
// reason when it does not unpack.
std::unique_ptr<StreamView> OpenStreamView(RomFile& rom, const StreamChoice& stream, bool vramSafe);
