#pragma once

#include <png.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// libpng on bytes in memory, shared by the palette and the truecolor PNG
// readers and the writer.

inline constexpr const char* PngCaption = "PNG image";
inline constexpr const char* PngTooLargeText =
    "the image is too large: more than 16384 x 16384 pixels, or a side above 1048576";

// Plain data shared with libpng's callbacks. The reading functions that call
// setjmp keep only such plain values in their frames, so a longjmp out of
// libpng skips no destructor.
struct PngIo {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Position;
    std::vector<std::uint8_t>* Output;  // writing only
    char Error[160];
    char Warning[160];  // the last one: libpng explains a refused header there
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message);
void OnPngWarning(png_structp png, png_const_charp message);
void ReadPngFromMemory(png_structp png, png_bytep data, png_size_t length);
void WritePngToMemory(png_structp png, png_bytep data, png_size_t length);
void FlushNothing(png_structp png);

// Whether the bytes start with the PNG signature.
bool HasPngSignature(const std::vector<std::uint8_t>& bytes);

// Why libpng broke a read off: the image is too large when its own limit
// check said so (in its words), otherwise the file is damaged.
std::string BrokenPngReason(const PngIo& io);
