// Paint.NET's palette (.txt). The reader and the file loader agree; a file
// is accepted exactly when every line, split at LF and without the blanks
// and CRs at its end and the blanks at its start, is empty, a comment
// starting with ';' or 8 hex digits, and there are 1 to 256 colors; the
// colors are their last 6 digits, the rest black. Saving writes the first
// 96 colors as opaque AARRGGBB, which load back the same.

#include "model/palette/paint_net_palette_format.h"
#include "model/palette/palette_files.h"
#include "text_palette_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const std::optional<Palette256> expected = HexListColors(bytes, 8, ';');
    CheckTextPaletteRead(bytes, &ReadPaintNetPalette, PaintNetPaletteFile, "in.txt", "Not a Paint.NET palette file.\r",
                         expected);
    if (!expected)
        return 0;
    const Bytes built = BuildPaintNetPalette(*expected);
    CHECK(SavedAlone(*expected, PaintNetPaletteFile, TempPath("saved.txt")) == built);
    CHECK(std::count(built.begin(), built.end(), '\n') == 2 + PaintNetColors);
    Palette256 first96{};
    std::copy_n(expected->begin(), PaintNetColors, first96.begin());
    CHECK(HexListColors(built, 8, ';') == first96);
    return 0;
}
