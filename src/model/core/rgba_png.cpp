#include "model/core/rgba_png.h"

#include "model/core/png_memory_io.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

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
    Loaded<RgbaImage> load{};
    const ReadOutcome outcome = ReadPng(png, info, load);
    png_destroy_read_struct(&png, &info, nullptr);
    switch (outcome) {
    case ReadOutcome::Read:
        return load;
    case ReadOutcome::Indexed:
        return Refusal("an indexed PNG: its pixels are palette indices, not colors");
    case ReadOutcome::TooLarge:
        return Refusal(PngTooLargeText);
    case ReadOutcome::Damaged:
        break;
    }
    return Refusal(BrokenPngReason(io));
}
