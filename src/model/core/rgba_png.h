#pragma once

#include "model/core/indexed_png.h"
#include "model/core/loaded.h"

#include <cstdint>
#include <vector>

// Truecolor and grayscale PNG pictures, read as 8-bit red, green, blue and
// alpha whatever their depth, for mapping onto a palette. Palette PNGs stay
// with DecodeIndexedPng, which keeps their indices exactly.

struct RgbaPixel {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    std::uint8_t Alpha = 255;

    bool operator==(const RgbaPixel&) const = default;
};

struct RgbaImage {
    int Width = 0;
    int Height = 0;
    std::vector<RgbaPixel> Pixels;  // Width * Height, row-major
};

// True when the bytes are a PNG whose header names a truecolor or grayscale
// image (with or without alpha): those are read with DecodeRgbaPng, every
// other file, damaged ones too, goes to DecodeIndexedPng as before.
bool IsTruecolorPng(const std::vector<std::uint8_t>& bytes);

// Reads a grayscale or truecolor PNG of any bit depth, with or without an
// alpha channel or a transparency chunk; 16-bit samples are scaled to 8
// bits, and a picture without alpha is opaque. Palette PNGs, damaged or cut
// short files and pictures beyond MaxPngSide / MaxPngPixels are refused with
// the reason; nothing is allocated for the pixels before the header's size
// has been checked, and rows are kept only as they are decoded.
Loaded<RgbaImage> DecodeRgbaPng(const std::vector<std::uint8_t>& bytes);
