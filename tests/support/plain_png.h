#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A PNG writer and reader for tests, written from the file format alone
// (chunks, CRC, one zlib stream, filter 0 on every row), so the program's
// libpng-based code is checked against something that does not share it.

struct PlainPng {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    int BitDepth = 8;
    int ColorType = 3;  // 0 gray, 2 truecolor, 3 palette, 4 gray + alpha, 6 truecolor + alpha
    // One entry per sample, row-major (three per pixel for truecolor).
    std::vector<std::uint8_t> Samples;
    std::vector<std::uint8_t> Palette;  // red, green, blue per entry; a PLTE chunk when not empty
};

// The PNG file: IHDR, PLTE (if any), one IDAT, IEND.
std::vector<std::uint8_t> WritePlainPng(const PlainPng& png);

// One chunk with its length and CRC.
std::vector<std::uint8_t> PngChunk(const std::string& type, const std::vector<std::uint8_t>& data);

// Reads a non-interlaced PNG whose rows all use filter 0; false for anything
// else.
bool ReadPlainPng(const std::vector<std::uint8_t>& file, PlainPng& png);
