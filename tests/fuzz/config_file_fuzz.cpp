// The configuration file: 32 little-endian 16-bit values, the first the
// marker 54. The parser and the path through the file (its first 64 bytes,
// as the program loads it) agree; a file is accepted exactly when it has 64
// bytes or more and the marker; grid sizes and zooms are clamped, positions
// are the twips over 15; saving the layout over the file keeps the bytes past
// the first 64 and loads back the same layout; a layout fitted to a screen
// stays on it.

#include "model/core/config_file.h"
#include "model/core/file_io.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cmath>

namespace {

int ValueAt(const std::uint8_t* data, int index)
{
    return static_cast<std::int16_t>(data[2 * index] | data[2 * index + 1] << 8);
}

// A position read from the file is the nearest whole pixel to twips / 15.
bool NearestPixel(int pixels, int twips)
{
    return std::abs(pixels * 15 - twips) <= 7;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<LayoutConfig> layout = ParseConfigFile(data, size);
    const auto head = ReadFileRange(WriteTempFile("Brixel.cfg", data, size), 0, ConfigFileSize);
    CHECK(head && head->size() == std::min(size, ConfigFileSize));
    CHECK(ParseConfigFile(head->data(), head->size()) == layout);

    const bool valid = size >= ConfigFileSize && ValueAt(data, 0) == 54;
    CHECK(layout.has_value() == valid);
    if (!valid)
        return 0;

    CHECK(layout->BrowserColumns == std::clamp(ValueAt(data, 10), 2, 16));
    CHECK(layout->BrowserLines == std::clamp(ValueAt(data, 11), 6, 16));
    CHECK(layout->BrowserZoom == std::clamp(ValueAt(data, 12), 2, 13));
    CHECK(layout->EditorZoom == std::clamp(data[38], std::uint8_t{2}, std::uint8_t{30}));
    CHECK(NearestPixel(layout->MainSize.Width, ValueAt(data, 2)));
    CHECK(NearestPixel(layout->EditorSize.Height, ValueAt(data, 18)));
    CHECK(NearestPixel(layout->OptionsOffset.Y, ValueAt(data, 31)));
    const int flags = ValueAt(data, 1);
    CHECK(layout->Switches.ChkBrow == ((flags & 1) != 0) && layout->Switches.CheckSpeed == ((flags & 512) != 0));

    // Saved over the input file: the layout's 64 bytes, then the input's rest.
    const auto built = BuildConfigFile(*layout);
    CHECK(ValueAt(built.data(), 0) == 54 && (ValueAt(built.data(), 1) & ~0x33F) == 0);
    const Bytes saved = ConfigFileOver(built, Bytes(data, data + size));
    CHECK(saved.size() == size && std::equal(built.begin(), built.end(), saved.begin()) &&
          std::equal(saved.begin() + ConfigFileSize, saved.end(), data + ConfigFileSize));
    const std::string path = TempPath("saved.cfg");
    CHECK(!WriteFileAtomically(path, saved));
    const auto reloaded = ReadFileRange(path, 0, ConfigFileSize);
    CHECK(reloaded && ParseConfigFile(reloaded->data(), reloaded->size()) == layout);

    // A screen taken from the file's own values, so odd sizes are tried too.
    const ScreenRect screen{0, 0, std::abs(ValueAt(data, 3)), std::abs(ValueAt(data, 4))};
    LayoutConfig fitted = *layout;
    FitLayoutToScreen(fitted, screen);
    CHECK(fitted.MainSize.Width >= MinMainSide && fitted.MainSize.Width <= std::max(MinMainSide, screen.Width));
    CHECK(fitted.EditorSize.Height >= MinEditorSide &&
          fitted.EditorSize.Height <= std::max(MinEditorSide, screen.Height));
    CHECK(fitted.BrowserPos.X >= 0 && fitted.BrowserPos.X <= std::max(0, screen.Width - MinVisiblePart));
    return 0;
}
