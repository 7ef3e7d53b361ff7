#pragma once

#include "model/core/packed_color.h"
#include "model/core/rgba_png.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A truecolor picture turned into color indices: either each pixel onto the
// nearest of the colors a mode's pixel values show, or the picture's own few
// colors made into the palette.

// A pixel with less alpha than this is transparent and takes index 0.
inline constexpr int OpaqueAlpha = 128;

// How well a picture matched. A color error is the Euclidean distance in
// RGB between a pixel and the palette color it became; kept squared, so
// it is exact.
struct ColorMatch {
    std::int64_t InexactPixels = 0;
    int LargestSquaredError = 0;
};

struct MappedPicture {
    std::vector<std::uint8_t> Indices;  // one per pixel, row-major
    ColorMatch Match;
};

// Each opaque pixel becomes the index of the nearest of colors (smallest
// squared RGB distance, the lowest index on a tie), each transparent one
// index 0. colors holds 1 .. 256 entries: the palette window the mode's
// pixel values 0 .. 2^bpp - 1 show.
MappedPicture MapOntoPalette(const RgbaImage& picture, const std::vector<PackedColor>& colors);

// The picture's own palette: its colors in order of first appearance, after
// index 0 when a pixel is transparent (that entry then keeps its color and
// is listed as nullopt).
struct BuiltPalette {
    std::vector<std::uint8_t> Indices;
    std::vector<std::optional<PackedColor>> Colors;
};

// The number of colors the picture takes as a palette: its distinct opaque
// colors, plus one when any pixel is transparent.
int PictureColorCount(const RgbaImage& picture);

// Builds the palette when the picture has at most colorLimit colors;
// otherwise the reason ("the picture has 37 colors; mode gb takes at most 4"),
// modeName naming the mode.
std::optional<std::string> BuildPaletteFromPicture(const RgbaImage& picture, int colorLimit,
                                                   const std::string& modeName, BuiltPalette& built);

// "all 16384 pixels matched a palette color exactly" or "12 pixels were not
// an exact match; the largest color error was 13.9".
std::string ColorMatchText(const ColorMatch& match, std::int64_t pixels);
