#pragma once

#include "model/palette/palette_load.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Shared by the fuzz targets. A failed check prints where it failed and
// aborts, so libFuzzer keeps the input and a replay run fails.

#define CHECK(condition) ((condition) ? static_cast<void>(0) : FuzzCheckFailed(#condition, __FILE__, __LINE__))

[[noreturn]] void FuzzCheckFailed(const char* condition, const char* file, int line);

using Bytes = std::vector<std::uint8_t>;

// Writes the bytes to a file of that name in a folder of this process's own
// (on a RAM disk when there is one), replacing it; returns its path. The
// folder is removed when the process ends normally.
std::string WriteTempFile(const std::string& name, const std::uint8_t* data, std::size_t size);
std::string WriteTempFile(const std::string& name, const Bytes& bytes);

// A path in that folder, for files the code under test creates.
std::string TempPath(const std::string& name);

// The whole file as it is on disk; the check fails when it cannot be read.
Bytes FileContents(const std::string& path);

// Red in bits 0-7, green in bits 8-15, blue in bits 16-23.
inline PackedColor Rgb(int red, int green, int blue)
{
    return static_cast<PackedColor>(red) | static_cast<PackedColor>(green) << 8 | static_cast<PackedColor>(blue) << 16;
}

// Bits 24-31 of a packed color are always 0.
bool ColorInRange(PackedColor color);

// Two loads agree: the same refusal (text and caption) or the same sets.
bool SameLoad(const PaletteLoad& a, const PaletteLoad& b);
bool SameSet(const ColorSetEntry& a, const ColorSetEntry& b);

// Saves the colors as the only set of a list in the format to path; the
// file that was written. The check fails when the save reports a failure.
Bytes SavedAlone(const Palette256& colors, const PaletteFileFormat& format, const std::string& path);
