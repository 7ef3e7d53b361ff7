#include "model/core/config_file.h"

#include "model/core/byte_order.h"
#include "model/core/number_text.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr int ValueCount = static_cast<int>(ConfigFileSize / 2);

// Saturates at the 16-bit range; the file has no room for more.
std::int16_t ToInt16(std::int64_t value)
{
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int16_t>::min(),
                                                              std::numeric_limits<std::int16_t>::max()));
}

// Fills the 32 values in file order, one call per value.
class ValueWriter {
public:
    void Value(std::int64_t value) { values_[next_++] = ToInt16(value); }
    void Twips(int pixels) { values_[next_++] = PixelsToTwips(pixels); }
    void Point(PixelPoint point)
    {
        Twips(point.X);
        Twips(point.Y);
    }
    const std::array<std::int16_t, ValueCount>& Values() const { return values_; }

private:
    std::array<std::int16_t, ValueCount> values_{};
    int next_ = 0;
};

// Reads the 32 values in file order.
class ValueReader {
public:
    explicit ValueReader(const std::uint8_t* bytes) : bytes_(bytes) {}
    std::int16_t Value() { return static_cast<std::int16_t>(ReadLe16(bytes_ + 2 * next_++)); }
    int Pixels() { return TwipsToPixels(Value()); }
    PixelPoint Point()
    {
        const int x = Pixels();
        return {x, Pixels()};
    }

private:
    const std::uint8_t* bytes_;
    int next_ = 0;
};

int ClampSpan(int value, int low, int high)
{
    return std::clamp(value, low, std::max(low, high));
}

// A child window's place inside the main window's client area.
void FitChild(PixelPoint& point, const ScreenRect& screen)
{
    point.X = ClampSpan(point.X, 0, screen.Width - MinVisiblePart);
    point.Y = ClampSpan(point.Y, 0, screen.Height - MinVisiblePart);
}

}  // namespace

std::uint16_t MakeLayoutFlags(const LayoutSwitches& switches)
{
    std::uint16_t flags = 0;
    const std::pair<bool, LayoutFlag> bits[] = {
        {switches.ChkBrow, FlagChkBrow},
        {switches.ChkEdit, FlagChkEdit},
        {switches.ChkTile, FlagChkTile},
        {switches.ChkGrid, FlagChkGrid},
        {switches.ChkGridEditor, FlagChkGridEditor},
        {switches.ChkNoncopied, FlagChkNoncopied},
        {switches.CheckSaveWarn, FlagCheckSaveWarn},
        {switches.CheckSpeed, FlagCheckSpeed},
    };
    for (const auto& [on, bit] : bits)
        if (on)
            flags |= bit;
    return flags;
}

LayoutSwitches ReadLayoutFlags(std::uint16_t flags)
{
    LayoutSwitches switches;
    switches.ChkBrow = (flags & FlagChkBrow) != 0;
    switches.ChkEdit = (flags & FlagChkEdit) != 0;
    switches.ChkTile = (flags & FlagChkTile) != 0;
    switches.ChkGrid = (flags & FlagChkGrid) != 0;
    switches.ChkGridEditor = (flags & FlagChkGridEditor) != 0;
    switches.ChkNoncopied = (flags & FlagChkNoncopied) != 0;
    switches.CheckSaveWarn = (flags & FlagCheckSaveWarn) != 0;
    switches.CheckSpeed = (flags & FlagCheckSpeed) != 0;
    return switches;
}

std::int16_t PixelsToTwips(double pixels)
{
    return ToInt16(RoundHalfEven(pixels * TwipsPerPixel));
}

int TwipsToPixels(std::int16_t twips)
{
    return RoundHalfEven(static_cast<double>(twips) / TwipsPerPixel);
}

std::array<std::uint8_t, ConfigFileSize> BuildConfigFile(const LayoutConfig& layout)
{
    ValueWriter out;
    out.Value(ConfigMarker);
    out.Value(MakeLayoutFlags(layout.Switches));
    out.Twips(layout.MainSize.Width);
    out.Twips(layout.MainSize.Height);
    out.Point(layout.ToolsPos);
    out.Point(layout.BrowCtrlPos);
    out.Point(layout.BrowserPos);
    out.Value(layout.BrowserColumns);
    out.Value(layout.BrowserLines);
    out.Value(layout.BrowserZoom);
    out.Point(layout.EditCtrlPos);
    out.Point(layout.EditorPos);
    out.Twips(layout.EditorSize.Width);
    out.Twips(layout.EditorSize.Height);
    out.Value(layout.EditorZoom);
    out.Point(layout.PalettePos);
    out.Point(layout.TileCtrlPos);
    out.Point(layout.BookmarkOffset);
    out.Point(layout.ColorSetOffset);
    out.Point(layout.PatternOffset);
    out.Point(layout.OptionsOffset);

    std::array<std::uint8_t, ConfigFileSize> bytes{};
    for (int i = 0; i < ValueCount; ++i)
        WriteLe16(bytes.data() + 2 * i, static_cast<std::uint16_t>(out.Values()[i]));
    return bytes;
}

std::vector<std::uint8_t> ConfigFileOver(const std::array<std::uint8_t, ConfigFileSize>& layout,
                                         const std::vector<std::uint8_t>& existing)
{
    std::vector<std::uint8_t> bytes(layout.begin(), layout.end());
    if (existing.size() > ConfigFileSize)
        bytes.insert(bytes.end(), existing.begin() + ConfigFileSize, existing.end());
    return bytes;
}

std::optional<LayoutConfig> ParseConfigFile(const std::uint8_t* bytes, std::size_t size)
{
    if (!bytes || size < ConfigFileSize)
        return std::nullopt;
    ValueReader in(bytes);
    if (in.Value() != ConfigMarker)
        return std::nullopt;

    LayoutConfig layout;
    layout.Switches = ReadLayoutFlags(static_cast<std::uint16_t>(in.Value()));
    layout.MainSize.Width = in.Pixels();
    layout.MainSize.Height = in.Pixels();
    layout.ToolsPos = in.Point();
    layout.BrowCtrlPos = in.Point();
    layout.BrowserPos = in.Point();
    layout.BrowserColumns = std::clamp<int>(in.Value(), MinBrowserColumns, MaxBrowserColumns);
    layout.BrowserLines = std::clamp<int>(in.Value(), MinBrowserLines, MaxBrowserLines);
    layout.BrowserZoom = std::clamp<int>(in.Value(), MinBrowserZoom, MaxBrowserZoom);
    layout.EditCtrlPos = in.Point();
    layout.EditorPos = in.Point();
    layout.EditorSize.Width = in.Pixels();
    layout.EditorSize.Height = in.Pixels();
    layout.EditorZoom = std::clamp<int>(in.Value() & 0xFF, MinEditorZoom, MaxEditorZoom);
    layout.PalettePos = in.Point();
    layout.TileCtrlPos = in.Point();
    layout.BookmarkOffset = in.Point();
    layout.ColorSetOffset = in.Point();
    layout.PatternOffset = in.Point();
    layout.OptionsOffset = in.Point();
    return layout;
}

void FitLayoutToScreen(LayoutConfig& layout, const ScreenRect& screen)
{
    layout.MainSize.Width = ClampSpan(layout.MainSize.Width, MinMainSide, screen.Width);
    layout.MainSize.Height = ClampSpan(layout.MainSize.Height, MinMainSide, screen.Height);
    for (PixelPoint* point : {&layout.ToolsPos, &layout.BrowCtrlPos, &layout.BrowserPos, &layout.EditCtrlPos,
                              &layout.EditorPos, &layout.PalettePos, &layout.TileCtrlPos})
        FitChild(*point, screen);
    layout.EditorSize.Width = ClampSpan(layout.EditorSize.Width, MinEditorSide, screen.Width);
    layout.EditorSize.Height = ClampSpan(layout.EditorSize.Height, MinEditorSide, screen.Height);
}

PixelPoint FloatingPosition(PixelPoint offset, PixelPoint mainCorner, const ScreenRect& screen)
{
    // Summed in 64 bits: both parts come from outside.
    auto place = [](int offsetPart, int cornerPart, int origin, int extent) {
        const std::int64_t wanted = static_cast<std::int64_t>(offsetPart) + cornerPart;
        const std::int64_t high =
            std::max<std::int64_t>(origin, static_cast<std::int64_t>(origin) + extent - MinVisiblePart);
        return static_cast<int>(std::clamp<std::int64_t>(wanted, origin, high));
    };
    return {place(offset.X, mainCorner.X, screen.X, screen.Width),
            place(offset.Y, mainCorner.Y, screen.Y, screen.Height)};
}

PixelRect FitFrameToScreen(const PixelRect& client, const FrameMargins& margins, const ScreenRect& screen)
{
    const int extraWidth = margins.Left + margins.Right;
    const int extraHeight = margins.Top + margins.Bottom;
    PixelRect fitted;
    fitted.Width = std::max(1, std::min(client.Width, screen.Width - extraWidth));
    fitted.Height = std::max(1, std::min(client.Height, screen.Height - extraHeight));
    const int frameLeft =
        ClampSpan(client.X - margins.Left, screen.X, screen.X + screen.Width - fitted.Width - extraWidth);
    const int frameTop =
        ClampSpan(client.Y - margins.Top, screen.Y, screen.Y + screen.Height - fitted.Height - extraHeight);
    fitted.X = frameLeft + margins.Left;
    fitted.Y = frameTop + margins.Top;
    return fitted;
}

PixelPoint PlaceWhollyInside(const PixelRect& window, const PixelRect& area)
{
    return {ClampSpan(window.X, area.X, area.X + area.Width - window.Width),
            ClampSpan(window.Y, area.Y, area.Y + area.Height - window.Height)};
}

PixelPoint DefaultFloatingPosition(const PixelRect& area, PixelSize frame, const ScreenRect& screen)
{
    const int left = area.X + (area.Width - frame.Width) / 2;
    const int top = area.Y + std::max(0, (area.Height - frame.Height) / 2);
    return {ClampSpan(left, screen.X, screen.X + screen.Width - frame.Width),
            ClampSpan(top, screen.Y, screen.Y + screen.Height - frame.Height)};
}
