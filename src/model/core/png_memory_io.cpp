#include "model/core/png_memory_io.h"

#include <cstdio>
#include <cstring>

void OnPngError(png_structp png, png_const_charp message)
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

void ReadPngFromMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
    if (length > io->Size - io->Position)
        png_error(png, "the file ends too early");
    std::memcpy(data, io->Data + io->Position, length);
    io->Position += length;
}

void WritePngToMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
    io->Output->insert(io->Output->end(), data, data + length);
}

void FlushNothing(png_structp) {}

bool HasPngSignature(const std::vector<std::uint8_t>& bytes)
{
    return bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0;
}

std::string BrokenPngReason(const PngIo& io)
{
    if (std::strstr(io.Error, "exceeds user limit") || std::strstr(io.Warning, "exceeds user limit"))
        return PngTooLargeText;
    return std::string("the PNG file is damaged or cut short (") + io.Error + ")";
}
