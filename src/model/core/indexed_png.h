#pragma once

#include "model/core/loaded.h"
#include "model/core/packed_color.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Palette PNG images for exchanging tiles with paint programs: the pixels
// are color indices, kept exactly, and the palette is carried alongside.

// The largest image read or written: at most 16384 x 16384 pixels in all,
// and no side above 2^20 (a sheet of tiles is tall and narrow).
inline constexpr std::int64_t MaxPngPixels = std::int64_t{16384} * 16384;
inline constexpr int MaxPngSide = 1 << 20;

// One text chunk: a keyword of 1 .. 79 Latin-1 characters (see
// IsPngTextKey) and its text.
struct PngText {
    std::string Key;
    std::string Value;

    bool operator==(const PngText&) const = default;
};

struct IndexedImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Indices;  // Width * Height, row-major
    std::vector<PackedColor> Palette;   // 1 .. 256 entries
    int BitDepth = 8;                   // 1, 2, 4 or 8 bits per stored index
    std::vector<PngText> Texts;         // written as tEXt chunks before the pixels
};

// A keyword a text chunk may carry: 1 .. 79 printable Latin-1 characters,
// no space at either end and never two in a row.
bool IsPngTextKey(const std::string& key);

// The reason an image of this size cannot be a PNG of the program's
// (TooLargeText-like, or no pixels at all); nullopt when it can.
std::optional<std::string> PngSizeProblem(std::int64_t width, std::int64_t height);

// The PNG bytes of the image at its BitDepth. The image must be consistent:
// sides 1 .. MaxPngSide and at most MaxPngPixels, Width * Height indices each
// below 2^BitDepth, 1 .. 2^BitDepth palette entries and text keys that
// IsPngTextKey takes; otherwise the result is empty and, given reason, it
// says why.
std::vector<std::uint8_t> EncodeIndexedPng(const IndexedImage& image, std::string* reason = nullptr);

// Encodes and writes with WriteFileAtomically; the reason on failure.
std::optional<std::string> WriteIndexedPng(const std::string& path, const IndexedImage& image);

// Reads a palette PNG of 1, 2, 4 or 8 bits per pixel: its indices one byte
// each, its palette (a transparency chunk is ignored) and its text chunks
// (tEXt, zTXt and iTXt, before or after the pixels) whose keys
// IsPngTextKey takes. A PNG of another
// color type is refused with "not an indexed PNG", and so is a damaged or
// cut-short file, or one larger than the limits above, each with the
// reason in the message; nothing is allocated for the pixels before the
// header's size has been checked.
Loaded<IndexedImage> DecodeIndexedPng(const std::vector<std::uint8_t>& bytes);
Loaded<IndexedImage> ReadIndexedPng(const std::string& path);

// How ReadIndexedPng reads a file: one larger than MaxPngFileBytes is no
// tile sheet and is refused unread.
inline constexpr std::int64_t MaxPngFileBytes = std::int64_t{256} << 20;
std::optional<UserMessage> RefusePngFileSize(std::int64_t size);
inline constexpr FileLoadRule PngFileRule{.ReadLimit = static_cast<std::size_t>(MaxPngFileBytes),
                                          .RefuseSize = &RefusePngFileSize};
