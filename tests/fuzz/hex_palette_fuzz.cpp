// The hex color list (.hex). The reader and the file loader agree; a file is
// accepted exactly when every line, split at LF and without the blanks and
// CRs at its end and the blanks at its start, is empty or 6 hex digits, and
// there are 1 to 256 colors; those are the colors, the rest black. Saving
// the set writes 256 lines of 6 lower-case digits that load back the same.

#include "model/palette/hex_palette_format.h"
#include "model/palette/palette_files.h"
#include "text_palette_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const std::optional<Palette256> expected = HexListColors(bytes, 6, 0);
    CheckTextPaletteRead(bytes, &ReadHexPalette, HexPaletteFile, "in.hex", "Not a hex color list.\r", expected);
    if (!expected)
        return 0;
    const Bytes built = BuildHexPalette(*expected);
    CHECK(built.size() == 256 * 7 && SavedAlone(*expected, HexPaletteFile, TempPath("saved.hex")) == built);
    CHECK(HexListColors(built, 6, 0) == expected);
    return 0;
}
