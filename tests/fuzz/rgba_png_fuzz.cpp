// Truecolor PNG reading: a refusal has a message and no pixels; an accepted
// picture is one the header check sends to this reader, its sides inside
// the limits and one pixel each; mapping it gives one index per pixel inside
// the palette window, and a palette built from it maps back without error.

#include "fuzz_support.h"
#include "model/core/rgba_png.h"
#include "model/editor/color_mapping.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const Loaded<RgbaImage> load = DecodeRgbaPng(bytes);
    if (load.Error) {
        CHECK(!load.Error->Text.empty());
        CHECK(load.Pixels.empty());
        return 0;
    }
    CHECK(IsTruecolorPng(bytes));
    CHECK(load.Width >= 1 && load.Height >= 1 && load.Width <= MaxPngSide && load.Height <= MaxPngSide);
    CHECK(std::int64_t{load.Width} * load.Height <= MaxPngPixels);
    CHECK(load.Pixels.size() == static_cast<std::size_t>(load.Width) * static_cast<std::size_t>(load.Height));

    const std::vector<PackedColor> window{MakePackedColor(0, 0, 0), MakePackedColor(255, 0, 0),
                                          MakePackedColor(0, 255, 0), MakePackedColor(255, 255, 255)};
    const MappedPicture mapped = MapOntoPalette(load, window);
    CHECK(mapped.Indices.size() == load.Pixels.size());
    for (const std::uint8_t index : mapped.Indices)
        CHECK(index < window.size());
    CHECK(mapped.Match.LargestSquaredError <= 3 * 255 * 255);
    CHECK((mapped.Match.InexactPixels == 0) == (mapped.Match.LargestSquaredError == 0));

    BuiltPalette built;
    if (!BuildPaletteFromPicture(load, 256, "gba8", built)) {
        CHECK(built.Indices.size() == load.Pixels.size());
        CHECK(!built.Colors.empty() && built.Colors.size() <= 256);
        // The transparent entry takes a color the picture does not have.
        std::vector<PackedColor> own;
        for (const auto& color : built.Colors)
            if (color)
                own.push_back(*color);
        PackedColor unused = 0;
        for (int i = 0; std::find(own.begin(), own.end(), unused) != own.end(); ++i)
            unused = MakePackedColor(i & 0xFF, i >> 8, 7);
        if (!built.Colors.front())
            own.insert(own.begin(), unused);
        const MappedPicture again = MapOntoPalette(load, own);
        CHECK(again.Match.InexactPixels == 0);
        CHECK(again.Indices == built.Indices);
    }
    return 0;
}
