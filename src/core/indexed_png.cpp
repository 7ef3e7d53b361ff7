#include "core/indexed_png.h"

#include "core/file_io.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* PngCaption = "PNG image";
constexpr const char* TooLargeText = "the image is too large: more than 16384 x 16384 pixels, or a side above 1048576";
// A file larger than this is no tile sheet; it is refused before reading.
constexpr std::int64_t MaxPngFileBytes = std::int64_t{256} << 20;

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

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    auto* io = static_cast<PngIo*>(png_get_error_ptr(png));
    std::snprintf(io->Error, sizeof io->Error, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp png, png_const_charp message)
{
    auto* io = static_cast<PngIo*>(png_get_error_ptr(png));
    std::snprintf(io->Warning, sizeof io->Warning, "%s", message);
}

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
    if (length > io->Size - io->Position)
        png_error(png, "the file ends too early");
    std::memcpy(data, io->Data + io->Position, length);
    io->Position += length;
}

void WriteToMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
    io->Output->insert(io->Output->end(), data, data + length);
}

void FlushNothing(png_structp) {}

const char* ColorTypeName(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
        return "grayscale";
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return "grayscale with alpha";
    case PNG_COLOR_TYPE_RGB:
        return "truecolor";
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return "truecolor with alpha";
    default:
        return "of an unknown color type";
    }
}

enum class ReadOutcome { Read, Damaged, NotIndexed, TooLarge };

// The libpng part of a read. Every row is appended to image.Indices as it
// is decoded, so a header that promises a huge image over a short file
// never makes a huge buffer.
ReadOutcome ReadPng(png_structp png, png_infop info, IndexedImage& image, int& colorType)
{
    if (setjmp(png_jmpbuf(png)))
        return ReadOutcome::Damaged;
    png_set_user_limits(png, MaxPngSide, MaxPngSide);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    if (colorType != PNG_COLOR_TYPE_PALETTE)
        return ReadOutcome::NotIndexed;
    if (width > static_cast<png_uint_32>(MaxPngSide) || height > static_cast<png_uint_32>(MaxPngSide) ||
        std::uint64_t{width} * height > static_cast<std::uint64_t>(MaxPngPixels))
        return ReadOutcome::TooLarge;
    png_colorp entries = nullptr;
    int entryCount = 0;
    if (png_get_PLTE(png, info, &entries, &entryCount) != PNG_INFO_PLTE || entryCount < 1)
        png_error(png, "the palette is missing");
    image.Palette.resize(static_cast<std::size_t>(entryCount));
    for (int i = 0; i < entryCount; ++i)
        image.Palette[static_cast<std::size_t>(i)] = MakePackedColor(entries[i].red, entries[i].green, entries[i].blue);
    image.Width = static_cast<int>(width);
    image.Height = static_cast<int>(height);
    image.BitDepth = bitDepth;
    if (bitDepth < 8)
        png_set_packing(png);  // one byte per index
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            if (pass == 0)
                image.Indices.resize(image.Indices.size() + width);
            png_read_row(png, image.Indices.data() + std::size_t{y} * width, nullptr);
        }
    }
    png_read_end(png, nullptr);
    return ReadOutcome::Read;
}

Loaded<IndexedImage> Refusal(const std::string& reason)
{
    return Refused<IndexedImage>(UserMessage{reason, PngCaption, MsgIcon::Critical});
}

// The libpng part of a write; false after a libpng error.
bool WritePng(png_structp png, png_infop info, const IndexedImage& image, const png_color* palette)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width), static_cast<png_uint_32>(image.Height),
                 image.BitDepth, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette, static_cast<int>(image.Palette.size()));
    // Index data compresses best unfiltered; the fastest level keeps a sheet of
    // 65536 tiles well under half a second, at a few percent in size.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    if (image.BitDepth < 8)
        png_set_packing(png);
    for (int y = 0; y < image.Height; ++y)
        png_write_row(png, image.Indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.Width));
    png_write_end(png, nullptr);
    return true;
}

bool IsConsistent(const IndexedImage& image)
{
    const int depth = image.BitDepth;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8)
        return false;
    if (image.Width < 1 || image.Height < 1 || image.Width > MaxPngSide || image.Height > MaxPngSide ||
        std::int64_t{image.Width} * image.Height > MaxPngPixels)
        return false;
    const std::size_t limit = std::size_t{1} << depth;
    if (image.Palette.empty() || image.Palette.size() > limit)
        return false;
    if (image.Indices.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height))
        return false;
    return std::all_of(image.Indices.begin(), image.Indices.end(), [limit](std::uint8_t i) { return i < limit; });
}

}  // namespace

Loaded<IndexedImage> DecodeIndexedPng(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        return Refusal("not a PNG file");
    PngIo io{bytes.data(), bytes.size(), 0, nullptr, {}, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return Refusal("not enough memory to read the PNG");
    }
    png_set_read_fn(png, &io, ReadFromMemory);
    Loaded<IndexedImage> load{};
    int colorType = 0;
    const ReadOutcome outcome = ReadPng(png, info, load, colorType);
    png_destroy_read_struct(&png, &info, nullptr);
    switch (outcome) {
    case ReadOutcome::Read:
        return load;
    case ReadOutcome::NotIndexed:
        return Refusal(std::string("not an indexed PNG: the image is ") + ColorTypeName(colorType) +
                       "; save it with a palette of at most 256 colors");
    case ReadOutcome::TooLarge:
        return Refusal(TooLargeText);
    case ReadOutcome::Damaged:
        break;
    }
    // libpng's own limit check says the same as ours, in its words.
    if (std::strstr(io.Error, "exceeds user limit") || std::strstr(io.Warning, "exceeds user limit"))
        return Refusal(TooLargeText);
    return Refusal(std::string("the PNG file is damaged or cut short (") + io.Error + ")");
}

Loaded<IndexedImage> ReadIndexedPng(const std::string& path)
{
    FileLoadRule rule;
    rule.ReadLimit = static_cast<std::size_t>(MaxPngFileBytes);
    rule.RefuseSize = [](std::int64_t size) -> std::optional<UserMessage> {
        if (size <= MaxPngFileBytes)
            return std::nullopt;
        return UserMessage{"the PNG file is larger than 256 MiB", PngCaption, MsgIcon::Critical};
    };
    const Loaded<FileBytes> file = LoadFileBytes(path, rule);
    if (file.Error)
        return Refused<IndexedImage>(*file.Error);
    return DecodeIndexedPng(file.Bytes);
}

std::vector<std::uint8_t> EncodeIndexedPng(const IndexedImage& image)
{
    if (!IsConsistent(image))
        return {};
    std::vector<std::uint8_t> output;
    output.reserve(image.Indices.size() / 4 + 1024);
    PngIo io{nullptr, 0, 0, &output, {}, {}};
    png_color palette[256];
    for (std::size_t i = 0; i < image.Palette.size(); ++i)
        palette[i] =
            png_color{static_cast<png_byte>(RedOf(image.Palette[i])), static_cast<png_byte>(GreenOf(image.Palette[i])),
                      static_cast<png_byte>(BlueOf(image.Palette[i]))};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    png_set_write_fn(png, &io, WriteToMemory, FlushNothing);
    const bool written = WritePng(png, info, image, palette);
    png_destroy_write_struct(&png, &info);
    if (!written)
        output.clear();
    return output;
}

std::optional<std::string> WriteIndexedPng(const std::string& path, const IndexedImage& image)
{
    const std::vector<std::uint8_t> bytes = EncodeIndexedPng(image);
    if (bytes.empty())
        return std::string("the image could not be encoded as an indexed PNG");
    return WriteFileAtomically(path, bytes);
}
