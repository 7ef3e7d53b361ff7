// The palette of an indexed PNG. The reader and the file loader agree, and
// agree with the PNG reader itself: a PNG it decodes gives its palette, the
// rest black; any other input is refused with its reason under
// "No palette read from the PNG image.".

#include "fuzz_support.h"
#include "model/core/indexed_png.h"
#include "model/palette/palette_files.h"
#include "model/palette/png_palette_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const PaletteLoad load = ReadPngPalette(bytes);
    CHECK(SameLoad(load, LoadPaletteFile(WriteTempFile("in.png", bytes), PngPaletteFile, {})));

    const Loaded<IndexedImage> image = DecodeIndexedPng(bytes);
    CHECK(load.Error.has_value() == image.Error.has_value());
    if (image.Error) {
        CHECK(load.Sets.empty() && load.Error->Text.rfind("No palette read from the PNG image.\r", 0) == 0);
        CHECK(load.Error->Text.size() > 37);
        return 0;
    }
    CHECK(load.Sets.size() == 1 && load.Sets[0].Description == "PNG palette");
    for (std::size_t i = 0; i < load.Sets[0].Colors.size(); ++i)
        CHECK(load.Sets[0].Colors[i] == (i < image.Palette.size() ? image.Palette[i] : 0));
    return 0;
}
