#include "model/core/default_palettes.h"

#include "model/core/number_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// NES colors 0x00-0x3F as 0xRRGGBB.
constexpr std::array<std::uint32_t, 64> NesRgb = {
    0x7F7F7F, 0x0000FF, 0x0000BF, 0x472BBF, 0x970087, 0xAB0023, 0xAB1300, 0x8B1700,  //
    0x533000, 0x007800, 0x006B00, 0x005B00, 0x004358, 0x000000, 0x000000, 0x000000,  //
    0xBFBFBF, 0x0078F8, 0x0058F8, 0x6B47FF, 0xDB00CD, 0xE7005B, 0xF83800, 0xE75F13,  //
    0xAF7F00, 0x00B800, 0x00AB00, 0x00AB47, 0x008B8B, 0x000000, 0x000000, 0x000000,  //
    0xF8F8F8, 0x3FBFFF, 0x6B88FF, 0x9878F8, 0xF878F8, 0xF85898, 0xF87858, 0xFFA347,  //
    0xF8B800, 0xB8F818, 0x5BDB57, 0x58F898, 0x00EBDB, 0x787878, 0x000000, 0x000000,  //
    0xFFFFFF, 0xA7E7FF, 0xB8B8F8, 0xD8B8F8, 0xF8B8F8, 0xFBA7C3, 0xF0D0B0, 0xFFE3AB,  //
    0xFBDB7B, 0xD8F878, 0xB8F8B8, 0xB8F8D8, 0x00FFFF, 0xF8D8F8, 0x000000, 0x000000,  //
};

// Entries 0-15: four shades each of yellow, red, green and blue.
constexpr std::array<PackedColor, 16> RampColors = {
    MakePackedColor(255, 255, 128), MakePackedColor(181, 181, 96), MakePackedColor(128, 128, 64),
    MakePackedColor(64, 64, 32),    MakePackedColor(255, 0, 0),    MakePackedColor(181, 0, 0),
    MakePackedColor(128, 0, 0),     MakePackedColor(64, 0, 0),     MakePackedColor(0, 255, 0),
    MakePackedColor(0, 181, 0),     MakePackedColor(0, 128, 0),    MakePackedColor(0, 64, 0),
    MakePackedColor(0, 0, 255),     MakePackedColor(0, 0, 181),    MakePackedColor(0, 0, 128),
    MakePackedColor(0, 0, 64),
};

}  // namespace

void InitDefaultPalettes(WorkingPaletteTable& workingPalette, NesColorTable& nesColors)
{
    std::copy(RampColors.begin(), RampColors.end(), workingPalette.begin());
    // A gray ramp from 1 to 255 that skips a level every 16 entries.
    for (int i = 16; i < 256; ++i) {
        const int level = RoundHalfEven((i - 16) + i / 16.0);
        workingPalette[i] = MakePackedColor(level, level, level);
    }
    for (std::size_t i = 0; i < NesRgb.size(); ++i) {
        const auto rgb = static_cast<int>(NesRgb[i]);
        nesColors[i] = MakePackedColor(rgb >> 16, rgb >> 8, rgb);
    }
}
