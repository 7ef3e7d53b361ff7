#include "model/palette/color_encoding.h"

PackedColor ColToRGB(std::uint32_t value, std::uint8_t encoding, const NesColorTable& nesColors)
{
    if (encoding == EncodingNes)
        return nesColors[value % 64];
    const int low = static_cast<int>(value & 31);
    const int middle = static_cast<int>((value >> 5) & 31);
    const int high = static_cast<int>((value >> 10) & 31);
    if (encoding == EncodingRgb15)
        return MakePackedColor(high * 8, middle * 8, low * 8);
    return MakePackedColor(low * 8, middle * 8, high * 8);
}

std::uint16_t RGBToCol(PackedColor color, std::uint8_t encoding)
{
    const int red = RedOf(color) / 8;
    const int green = GreenOf(color) / 8;
    const int blue = BlueOf(color) / 8;
    if (encoding == EncodingRgb15)
        return static_cast<std::uint16_t>(blue | (green << 5) | (red << 10));
    if (encoding == EncodingBgr15)
        return static_cast<std::uint16_t>(red | (green << 5) | (blue << 10));
    return 0;
}

PackedColor CygneToRGB(std::uint16_t word)
{
    return MakePackedColor(((word >> 8) & 15) * 16, ((word >> 4) & 15) * 16, (word & 15) * 16);
}
