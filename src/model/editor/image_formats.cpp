#include "model/editor/image_formats.h"

#include "model/core/file_filter.h"
#include "model/editor/bmp_exchange.h"
#include "model/editor/png_exchange.h"

#include <array>

namespace {

// One line a format. A new format goes last, so the entries the user knows
// keep their places.
// clang-format off
constexpr std::array Formats{
    &PngImageFile,
    &BmpImageFile,
};
// clang-format on

}  // namespace

std::span<const ImageFileFormat* const> ImageFileFormats()
{
    return Formats;
}

std::string ImageFilter(const ImageFileFormat& format)
{
    return std::string(format.Label) + "|" + std::string(format.Patterns);
}

std::string AnyImageFilter()
{
    std::string patterns;
    std::string entries;
    for (const ImageFileFormat* format : Formats) {
        patterns += (patterns.empty() ? "" : ";") + std::string(format->Patterns);
        entries += "|" + ImageFilter(*format);
    }
    return "Pictures (" + patterns + ")|" + patterns + entries;
}

const ImageFileFormat& ImageFormatForPath(std::string_view path)
{
    for (const ImageFileFormat* format : Formats)
        if (PathMatchesPatterns(format->Patterns, path))
            return *format;
    return *Formats.front();
}

Loaded<IndexedImage> ReadImageFile(const std::string& path, const ImageFileFormat& format)
{
    const Loaded<FileBytes> file = LoadFileBytes(path, format.FileRead);
    if (file.Error)
        return Refused<IndexedImage>(*file.Error);
    return format.Decode(file.Bytes);
}
