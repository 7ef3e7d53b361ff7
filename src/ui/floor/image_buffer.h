#pragma once

#include "model/core/pixel_buffer.h"

#include <QImage>

// The pixels of an RGB32 image, for the model's drawing primitives.
inline PixelBuffer BufferOf(QImage& image)
{
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
            static_cast<int>(image.bytesPerLine() / 4)};
}
