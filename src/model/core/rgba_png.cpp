#include "model/core/rgba_png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* PngCaption = "PNG image";
constexpr const char* TooLargeText = "the image is too large: more than 16384 x 16384 pixels, or a side above 1048576";

// Plain data shared with libpng's callbacks; the function that calls setjmp
// keeps only such values in its frame, so a longjmp skips no destructor.
struct ReadIo {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Position;
    char Error[160];
    char Warning[160];
};

[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    auto* io = static_cast<ReadIo*>(png_get_error_ptr(png));
    std::snprintf(io->Error, sizeof io->Error, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message)
{
    auto* io = static_cast<ReadIo*>(png_get_error_ptr(png));
    std::snprintf(io->Warning, sizeof io->Warning, "%s", message);
}

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* io = static_cast<ReadIo*>(png_get_io_ptr(png));
    if (length > io->Size - io->Position)
        png_error(png, "the file ends too early");
    std::memcpy(data, io->Data + io->Position, length);
    io->Position += length;
}

enum class ReadOutcome { Read, Damaged, Indexed, TooLarge };

ReadOutcome ReadPng(png_structp png, png_infop info, RgbaImage& image)
{
    if (setjmp(png_jmpbuf(png)))
        return ReadOutcome::Damaged;
    png_set_user_limits(png, MaxPngSide, MaxPngSide);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    if (colorType & PNG_COLOR_MASK_PALETTE)
        return ReadOutcome::Indexed;
    if (width > static_cast<png_uint_32>(MaxPngSide) || height > static_cast<png_uint_32>(MaxPngSide) ||
        std::uint64_t{width} * height > static_cast<std::uint64_t>(MaxPngPixels))
        return ReadOutcome::TooLarge;
    // Every kind of picture becomes 8-bit red, green, blue, alpha.
    if (bitDepth == 16)
        png_set_scale_16(png);
    if (!(colorType & PNG_COLOR_MASK_COLOR)) {
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    else if (!(colorType & PNG_COLOR_MASK_ALPHA))
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * sizeof(RgbaPixel))
        png_error(png, "the rows do not come out as four samples a pixel");
    image.Width = static_cast<int>(width);
    image.Height = static_cast<int>(height);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            if (pass == 0)
                image.Pixels.resize(image.Pixels.size() + width);
            png_read_row(png, reinterpret_cast<png_bytep>(image.Pixels.data() + std::size_t{y} * width), nullptr);
        }
    }
    png_read_end(png, nullptr);
    return ReadOutcome::Read;
}

Loaded<RgbaImage> Refusal(const std::string& reason)
{
    return Refused<RgbaImage>(UserMessage{reason, PngCaption, MsgIcon::Critical});
}

}  // namespace

static_assert(sizeof(RgbaPixel) == 4, "rows are read straight into the pixels");

bool IsTruecolorPng(const std::vector<std::uint8_t>& bytes)
{
    // Signature, then the IHDR chunk: length, type, width, height, depth, color type.
    constexpr std::size_t ColorTypeAt = 25;
    if (bytes.size() <= ColorTypeAt || png_sig_cmp(bytes.data(), 0, 8) != 0 ||
        std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        return false;
    const int colorType = bytes[ColorTypeAt];
    return colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA ||
           colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA;
}

Loaded<RgbaImage> DecodeRgbaPng(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        return Refusal("not a PNG file");
    ReadIo io{bytes.data(), bytes.size(), 0, {}, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return Refusal("not enough memory to read the PNG");
    }
    png_set_read_fn(png, &io, ReadFromMemory);
    Loaded<RgbaImage> load{};
    const ReadOutcome outcome = ReadPng(png, info, load);
    png_destroy_read_struct(&png, &info, nullptr);
    switch (outcome) {
    case ReadOutcome::Read:
        return load;
    case ReadOutcome::Indexed:
        return Refusal("an indexed PNG: its pixels are palette indices, not colors");
    case ReadOutcome::TooLarge:
        return Refusal(TooLargeText);
    case ReadOutcome::Damaged:
        break;
    }
    if (std::strstr(io.Error, "exceeds user limit") || std::strstr(io.Warning, "exceeds user limit"))
        return Refusal(TooLargeText);
    return Refusal(std::string("the PNG file is damaged or cut short (") + io.Error + ")");
}
