#include "model/palette/png_palette_format.h"

#include "model/core/indexed_png.h"

#include <algorithm>
#include <cctype>
#include <string>

PaletteLoad ReadPngPalette(const std::vector<std::uint8_t>& bytes)
{
    const Loaded<IndexedImage> image = DecodeIndexedPng(bytes);
    if (image.Error) {
        // The PNG reader's reason is a phrase; here it is the message's second line.
        std::string reason = image.Error->Text;
        if (reason.empty())
            reason = "unknown reason";
        reason.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(reason.front())));
        if (reason.back() != '.')
            reason += '.';
        return Refused<PaletteSets>({"No palette read from the PNG image.\r" + reason, "Brixel", MsgIcon::None});
    }
    Palette256 colors{};
    std::copy_n(image.Palette.begin(), std::min(image.Palette.size(), colors.size()), colors.begin());
    return OneSetLoad(colors, "PNG palette");
}

constinit const PaletteFileFormat PngPaletteFile{
    .Label = "Indexed PNG image (*.png)",
    .Patterns = "*.png",
    .Name = "png",
    .FileRead = PngFileRule,
    .ReadBytes = &ReadPngPalette,
};
