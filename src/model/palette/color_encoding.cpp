#include "model/palette/color_encoding.h"

#include <cstdlib>

namespace {

struct ChannelField {
    std::uint8_t Shift;
    std::uint8_t Bits;
};

// Red, green and blue of the encodings from EncodingMd9 on.
struct ChannelLayout {
    ChannelField Red, Green, Blue;
};

constexpr std::array<ChannelLayout, 5> RepeatedLayouts{{
    {{1, 3}, {5, 3}, {9, 3}},   // Mega Drive
    {{0, 2}, {2, 2}, {4, 2}},   // Master System
    {{0, 4}, {4, 4}, {8, 4}},   // Game Gear, WonderSwan Color
    {{0, 4}, {4, 4}, {8, 4}},   // Neo Geo Pocket Color
    {{0, 5}, {5, 5}, {10, 5}},  // GBA, NDS
}};

const ChannelLayout* RepeatedLayout(std::uint8_t encoding)
{
    if (encoding < EncodingMd9 || encoding >= PaletteFormats.size())
        return nullptr;
    return &RepeatedLayouts[encoding - EncodingMd9];
}

// Repeats the level's bits down to bit 0, so the top level becomes 255.
int Widen(int level, int bits)
{
    int wide = 0;
    int filled = 0;
    for (; filled < 8; filled += bits)
        wide = (wide << bits) | level;
    return wide >> (filled - 8);
}

// The level whose widened value is nearest; the lower one on a tie.
int NearestLevel(int channel, int bits)
{
    int best = 0;
    int bestDistance = 256;
    for (int level = 0; level < (1 << bits); ++level) {
        const int distance = std::abs(channel - Widen(level, bits));
        if (distance < bestDistance) {
            best = level;
            bestDistance = distance;
        }
    }
    return best;
}

int LevelOf(std::uint32_t value, ChannelField field)
{
    return static_cast<int>((value >> field.Shift) & ((1u << field.Bits) - 1));
}

std::uint16_t FieldMask(ChannelField field)
{
    return static_cast<std::uint16_t>(((1u << field.Bits) - 1) << field.Shift);
}

}  // namespace

std::optional<std::uint8_t> PaletteEncodingNamed(std::string_view shortName)
{
    for (std::size_t i = 0; i < PaletteFormats.size(); ++i)
        if (PaletteFormats[i].ShortName == shortName)
            return static_cast<std::uint8_t>(i);
    return std::nullopt;
}

std::uint16_t EncodingValueMask(std::uint8_t encoding)
{
    if (const ChannelLayout* layout = RepeatedLayout(encoding))
        return FieldMask(layout->Red) | FieldMask(layout->Green) | FieldMask(layout->Blue);
    return encoding == EncodingRgb15 || encoding == EncodingBgr15 ? 0x7FFF : 0;
}

std::uint32_t StoredValue(const std::uint8_t* bytes, std::uint8_t encoding)
{
    if (PaletteFormats[encoding].BytesPerColor == 1)
        return bytes[0];
    if (PaletteFormats[encoding].BigEndian)
        return static_cast<std::uint32_t>(bytes[0] << 8 | bytes[1]);
    return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8);
}

void StoreValue(std::uint16_t value, std::uint8_t* bytes, std::uint8_t encoding)
{
    if (PaletteFormats[encoding].BytesPerColor == 1) {
        bytes[0] = static_cast<std::uint8_t>(value);
    } else if (PaletteFormats[encoding].BigEndian) {
        bytes[0] = static_cast<std::uint8_t>(value >> 8);
        bytes[1] = static_cast<std::uint8_t>(value);
    } else {
        bytes[0] = static_cast<std::uint8_t>(value);
        bytes[1] = static_cast<std::uint8_t>(value >> 8);
    }
}

PackedColor ColToRGB(std::uint32_t value, std::uint8_t encoding, const NesColorTable& nesColors)
{
    if (encoding == EncodingNes)
        return nesColors[value % 64];
    if (const ChannelLayout* layout = RepeatedLayout(encoding))
        return MakePackedColor(Widen(LevelOf(value, layout->Red), layout->Red.Bits),
                               Widen(LevelOf(value, layout->Green), layout->Green.Bits),
                               Widen(LevelOf(value, layout->Blue), layout->Blue.Bits));
    const int low = static_cast<int>(value & 31);
    const int middle = static_cast<int>((value >> 5) & 31);
    const int high = static_cast<int>((value >> 10) & 31);
    if (encoding == EncodingRgb15)
        return MakePackedColor(high * 8, middle * 8, low * 8);
    return MakePackedColor(low * 8, middle * 8, high * 8);
}

std::uint16_t RGBToCol(PackedColor color, std::uint8_t encoding)
{
    if (const ChannelLayout* layout = RepeatedLayout(encoding)) {
        const auto place = [](int channel, ChannelField field) {
            return static_cast<std::uint16_t>(NearestLevel(channel, field.Bits) << field.Shift);
        };
        return place(RedOf(color), layout->Red) | place(GreenOf(color), layout->Green) |
               place(BlueOf(color), layout->Blue);
    }
    const int red = RedOf(color) / 8;
    const int green = GreenOf(color) / 8;
    const int blue = BlueOf(color) / 8;
    if (encoding == EncodingRgb15)
        return static_cast<std::uint16_t>(blue | (green << 5) | (red << 10));
    if (encoding == EncodingBgr15)
        return static_cast<std::uint16_t>(red | (green << 5) | (blue << 10));
    return 0;
}

std::string RepeatedEncodingValuesText(PackedColor color)
{
    constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t encoding = EncodingMd9; encoding < PaletteFormats.size(); ++encoding) {
        const std::uint16_t value = RGBToCol(color, encoding);
        text += (text.empty() ? "" : "\n") + std::string(PaletteFormats[encoding].FormatName) + ": ";
        for (int shift = 8 * PaletteFormats[encoding].BytesPerColor - 4; shift >= 0; shift -= 4)
            text += Digits[(value >> shift) & 15];
    }
    return text;
}

PackedColor CygneToRGB(std::uint16_t word)
{
    return MakePackedColor(((word >> 8) & 15) * 16, ((word >> 4) & 15) * 16, (word & 15) * 16);
}
