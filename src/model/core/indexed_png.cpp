#include "model/core/indexed_png.h"

#include "model/core/file_io.h"
#include "model/core/png_memory_io.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

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
    // Texts after the pixels count as much as those before.
    png_read_end(png, info);
    return ReadOutcome::Read;
}

Loaded<IndexedImage> Refusal(const std::string& reason)
{
    return Refused<IndexedImage>(UserMessage{reason, PngCaption, MsgIcon::Critical});
}

// The libpng part of a write; false after a libpng error.
bool WritePng(png_structp png, png_infop info, const IndexedImage& image, const png_color* palette, png_textp texts,
              int textCount)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    // The writer takes every side the reader takes; libpng's own default
    // stops at a million rows.
    png_set_user_limits(png, MaxPngSide, MaxPngSide);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width), static_cast<png_uint_32>(image.Height),
                 image.BitDepth, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette, static_cast<int>(image.Palette.size()));
    if (textCount > 0)
        png_set_text(png, info, texts, textCount);
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

// Why the image cannot be written as it is; nullopt when it can.
std::optional<std::string> Inconsistency(const IndexedImage& image)
{
    if (auto problem = PngSizeProblem(image.Width, image.Height))
        return problem;
    const int depth = image.BitDepth;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8)
        return "a PNG palette image has 1, 2, 4 or 8 bits a pixel, not " + std::to_string(depth);
    const std::size_t limit = std::size_t{1} << depth;
    if (image.Palette.empty() || image.Palette.size() > limit)
        return "the palette has " + std::to_string(image.Palette.size()) + " colors; " + std::to_string(depth) +
               " bits a pixel take 1 to " + std::to_string(limit);
    if (image.Indices.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height))
        return std::string("the pixels do not fill the image");
    if (!std::all_of(image.Indices.begin(), image.Indices.end(), [limit](std::uint8_t i) { return i < limit; }))
        return "a color index is above " + std::to_string(limit - 1) + ", the largest of " + std::to_string(depth) +
               " bits";
    for (const PngText& text : image.Texts)
        if (!IsPngTextKey(text.Key))
            return "'" + text.Key + "' cannot be the keyword of a PNG text";
    return std::nullopt;
}

// The text chunks libpng has gathered, those with keys the writer takes.
std::vector<PngText> TextsOf(png_structp png, png_infop info)
{
    std::vector<PngText> texts;
    png_textp entries = nullptr;
    const int count = png_get_text(png, info, &entries, nullptr);
    for (int i = 0; i < count; ++i)
        if (entries[i].key && entries[i].text && IsPngTextKey(entries[i].key))
            texts.push_back({entries[i].key, entries[i].text});
    return texts;
}

}  // namespace

Loaded<IndexedImage> DecodeIndexedPng(const std::vector<std::uint8_t>& bytes)
{
    if (!HasPngSignature(bytes))
        return Refusal("not a PNG file");
    PngIo io{bytes.data(), bytes.size(), 0, nullptr, {}, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return Refusal("not enough memory to read the PNG");
    }
    png_set_read_fn(png, &io, ReadPngFromMemory);
    Loaded<IndexedImage> load{};
    int colorType = 0;
    const ReadOutcome outcome = ReadPng(png, info, load, colorType);
    if (outcome == ReadOutcome::Read)
        load.Texts = TextsOf(png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    switch (outcome) {
    case ReadOutcome::Read:
        return load;
    case ReadOutcome::NotIndexed:
        return Refusal(std::string("not an indexed PNG: the image is ") + ColorTypeName(colorType) +
                       "; save it with a palette of at most 256 colors");
    case ReadOutcome::TooLarge:
        return Refusal(PngTooLargeText);
    case ReadOutcome::Damaged:
        break;
    }
    return Refusal(BrokenPngReason(io));
}

std::optional<UserMessage> RefusePngFileSize(std::int64_t size)
{
    if (size <= MaxPngFileBytes)
        return std::nullopt;
    return UserMessage{"the PNG file is larger than 256 MiB", PngCaption, MsgIcon::Critical};
}

Loaded<IndexedImage> ReadIndexedPng(const std::string& path)
{
    const Loaded<FileBytes> file = LoadFileBytes(path, PngFileRule);
    if (file.Error)
        return Refused<IndexedImage>(*file.Error);
    return DecodeIndexedPng(file.Bytes);
}

bool IsPngTextKey(const std::string& key)
{
    if (key.empty() || key.size() > 79 || key.front() == ' ' || key.back() == ' ' ||
        key.find("  ") != std::string::npos)
        return false;
    return std::all_of(key.begin(), key.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte >= 32 && byte <= 126) || byte >= 161;
    });
}

std::optional<std::string> PngSizeProblem(std::int64_t width, std::int64_t height)
{
    if (width < 1 || height < 1)
        return std::string("the image has no pixels");
    if (width > MaxPngSide || height > MaxPngSide || width * height > MaxPngPixels)
        return std::string(PngTooLargeText);
    return std::nullopt;
}

std::vector<std::uint8_t> EncodeIndexedPng(const IndexedImage& image, std::string* reason)
{
    if (auto problem = Inconsistency(image)) {
        if (reason)
            *reason = *problem;
        return {};
    }
    std::vector<std::uint8_t> output;
    output.reserve(image.Indices.size() / 4 + 1024);
    PngIo io{nullptr, 0, 0, &output, {}, {}};
    png_color palette[256];
    for (std::size_t i = 0; i < image.Palette.size(); ++i)
        palette[i] =
            png_color{static_cast<png_byte>(RedOf(image.Palette[i])), static_cast<png_byte>(GreenOf(image.Palette[i])),
                      static_cast<png_byte>(BlueOf(image.Palette[i]))};
    // libpng copies the texts; the strings stay the image's meanwhile.
    std::vector<png_text> texts(image.Texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i].compression = PNG_TEXT_COMPRESSION_NONE;
        texts[i].key = const_cast<png_charp>(image.Texts[i].Key.c_str());
        texts[i].text = const_cast<png_charp>(image.Texts[i].Value.c_str());
        texts[i].text_length = image.Texts[i].Value.size();
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        if (reason)
            *reason = "not enough memory to write the PNG";
        return {};
    }
    png_set_write_fn(png, &io, WritePngToMemory, FlushNothing);
    const bool written = WritePng(png, info, image, palette, texts.data(), static_cast<int>(texts.size()));
    png_destroy_write_struct(&png, &info);
    if (!written) {
        output.clear();
        if (reason)
            *reason = std::string("the PNG could not be encoded (") + io.Error + ")";
    }
    return output;
}

std::optional<std::string> WriteIndexedPng(const std::string& path, const IndexedImage& image)
{
    // A target that will be refused is refused before the encoding's work.
    std::string target;
    if (auto refusal = ResolveSaveTarget(path, target))
        return refusal;
    std::string reason;
    const std::vector<std::uint8_t> bytes = EncodeIndexedPng(image, &reason);
    if (bytes.empty())
        return reason;
    return WriteFileAtomically(path, bytes);
}
