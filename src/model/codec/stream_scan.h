#pragma once

#include "model/codec/stream_codec.h"
#include "model/tools/graphics_search.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// Looks through a ROM for compressed streams: at every candidate address each
// codec's Probe looks at the first bytes, and only where it passes does
// Unpack run. Plain C++: the scan window runs it on a worker thread over a
// source of its own (OwnFileSource); the command line runs it over the ROM.

// Unpacked sizes that are multiples of this count as whole tiles: an 8x8
// tile at 4 bits per pixel (GBA, Mega Drive); 2 bpp and 8 bpp sets of whole
// 4 bpp sizes pass too.
inline constexpr std::size_t WholeTileBytes = 32;

struct StreamScanOptions {
    // Try every byte address instead of only the multiples of each codec's
    // Alignment.
    bool EveryAddress = false;
    // Streams that unpack to fewer bytes are not listed: random bytes read
    // as a short stream of the formats without a header now and then.
    std::size_t MinUnpackedSize = 256;
    // Nor those that unpack to more (Unpack's limit). Random bytes after a
    // run-length or Huffman header read as a stream of whatever size the
    // header says, and unpacking those costs time that grows with the
    // square of this size; graphics streams rarely exceed video memory.
    std::size_t MaxUnpackedSize = std::size_t{64} << 10;
    // At most this many streams are returned (the best ones).
    std::size_t MaxResults = 10000;
    // Worker threads; 0 takes one per core.
    int Threads = 0;
};

struct FoundStream {
    std::int64_t Address = 0;
    const StreamCodec* Codec = nullptr;
    std::size_t PackedLength = 0;
    std::size_t UnpackedLength = 0;
    bool WholeTiles = false;  // UnpackedLength is a multiple of WholeTileBytes
    bool operator==(const FoundStream&) const = default;
};

struct StreamScanResult {
    // Best first: the longest unpacked data, then the lower address, then
    // the codec that comes first in the list given.
    std::vector<FoundStream> Streams;
    bool Truncated = false;  // more streams existed than MaxResults
    bool Cancelled = false;  // stopped by the cancel flag; Streams holds what was found until then
};

// Called with the fraction done (0 to 1), at most about 100 times a scan,
// from a worker thread, one call at a time.
using StreamScanProgress = std::function<void(double fraction)>;

// Scans the whole source with each codec. The source is read in blocks of
// 1 MiB and 256 KiB more, never whole. A stream is listed only when Unpack
// takes it whole. Streams may overlap, but not those of a codec whose Probe
// declares no size (no header): from inside such a stream it reads echoes,
// shorter streams that end at the same byte, so after one it goes on after
// its packed bytes. Random bytes before such a stream often lead into it;
// when the stream found is not whole tiles, the first echo within 64 bytes
// that is takes its place. Addresses where the next 36 bytes repeat with a
// period of 1, 2 or 4 bytes are skipped: filler, which no stream starts
// with, and which such formats would otherwise read from every address to
// its end. Setting cancel stops the scan within milliseconds (one Unpack at
// most per thread).
StreamScanResult ScanForStreams(const SearchSource& source, std::span<const StreamCodec* const> codecs,
                                const StreamScanOptions& options, const std::atomic<bool>& cancel,
                                const StreamScanProgress& progress = {});

// Unpacks the stream of codec at address, reading a window that grows from
// 64 KiB until the stream ends inside it or the file ends; a stream whose
// packed bytes reach further than twice limit is refused as PastEnd. An
// address outside the source is refused as PastEnd with its reason.
UnpackResult UnpackStreamAt(const SearchSource& source, const StreamCodec& codec, std::int64_t address,
                            std::size_t limit);
