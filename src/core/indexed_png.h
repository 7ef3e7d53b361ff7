#pragma once

#include "core/loaded.h"
#include "core/packed_color.h"

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

struct IndexedImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Indices;  // Width * Height, row-major
    std::vector<PackedColor> Palette;   // 1 .. 256 entries
    int BitDepth = 8;                   // 1, 2, 4 or 8 bits per stored index
};

// The PNG bytes of the image at its BitDepth. The image must be consistent:
// sides 1 .. MaxPngSide and at most MaxPngPixels, Width * Height indices each below 2^BitDepth and
// 1 .. 2^BitDepth palette entries; otherwise the result is empty.
std::vector<std::uint8_t> EncodeIndexedPng(const IndexedImage& image);

// Encodes and writes with WriteFileAtomically; the reason on failure.
std::optional<std::string> WriteIndexedPng(const std::string& path, const IndexedImage& image);

// Reads a palette PNG of 1, 2, 4 or 8 bits per pixel: its indices one byte
// each and its palette (a transparency chunk is ignored). A PNG of another
// color type is refused with "not an indexed PNG", and so is a damaged or
// cut-short file, or one larger than the limits above, each with the
// reason in the message; nothing is allocated for the pixels before the
// header's size has been checked.
Loaded<IndexedImage> DecodeIndexedPng(const std::vector<std::uint8_t>& bytes);
Loaded<IndexedImage> ReadIndexedPng(const std::string& path);
