#include "model/core/config_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

// A layout with a different value in every field, each pixel value a whole
// number so the twips are exact.
LayoutConfig SampleLayout()
{
    LayoutConfig layout;
    layout.Switches = {true, false, true, false, true, false, true, false};
    layout.MainSize = {700, 534};
    layout.ToolsPos = {1, 2};
    layout.BrowCtrlPos = {3, 4};
    layout.BrowserPos = {5, 6};
    layout.BrowserColumns = 9;
    layout.BrowserLines = 11;
    layout.BrowserZoom = 4;
    layout.EditCtrlPos = {7, 8};
    layout.EditorPos = {9, 10};
    layout.EditorSize = {300, 250};
    layout.EditorZoom = 5;
    layout.PalettePos = {11, 12};
    layout.TileCtrlPos = {13, 14};
    layout.BookmarkOffset = {-15, 16};
    layout.ColorSetOffset = {17, -18};
    layout.PatternOffset = {19, 20};
    layout.OptionsOffset = {21, 22};
    return layout;
}

std::int16_t ValueAt(const std::array<std::uint8_t, ConfigFileSize>& bytes, int offset)
{
    return static_cast<std::int16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void PutValue(std::vector<std::uint8_t>& bytes, int offset, std::int16_t value)
{
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::vector<std::uint8_t> SampleBytes()
{
    const auto bytes = BuildConfigFile(SampleLayout());
    return {bytes.begin(), bytes.end()};
}

}  // namespace

// --- Byte layout ------------------------------------------------------------

TEST(ConfigFileLayout, EachValueSitsAtItsOffset)
{
    const LayoutConfig layout = SampleLayout();
    const auto bytes = BuildConfigFile(layout);
    EXPECT_EQ(bytes[0], 0x36);
    EXPECT_EQ(bytes[1], 0x00);
    const auto twips = [](int pixels) { return static_cast<std::int16_t>(pixels * 15); };
    struct Expected {
        int Offset;
        std::int16_t Value;
    };
    const Expected table[] = {
        {2, 1 + 4 + 16 + 256}, {4, twips(700)},  {6, twips(534)},  {8, twips(1)},
        {10, twips(2)},        {12, twips(3)},   {14, twips(4)},   {16, twips(5)},
        {18, twips(6)},        {20, 9},          {22, 11},         {24, 4},
        {26, twips(7)},        {28, twips(8)},   {30, twips(9)},   {32, twips(10)},
        {34, twips(300)},      {36, twips(250)}, {38, 5},          {40, twips(11)},
        {42, twips(12)},       {44, twips(13)},  {46, twips(14)},  {48, twips(-15)},
        {50, twips(16)},       {52, twips(17)},  {54, twips(-18)}, {56, twips(19)},
        {58, twips(20)},       {60, twips(21)},  {62, twips(22)},
    };
    for (const Expected& entry : table)
        EXPECT_EQ(ValueAt(bytes, entry.Offset), entry.Value) << "offset " << entry.Offset;
}

TEST(ConfigFileLayout, RoundTripRestoresEveryField)
{
    const auto bytes = BuildConfigFile(SampleLayout());
    const auto layout = ParseConfigFile(bytes.data(), bytes.size());
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(*layout, SampleLayout());
    EXPECT_EQ(BuildConfigFile(*layout), bytes);
}

// --- Flags --------------------------------------------------------------------

TEST(ConfigFileFlags, EachSwitchHasItsBit)
{
    EXPECT_EQ(MakeLayoutFlags({}), 0);
    EXPECT_EQ(MakeLayoutFlags({.ChkBrow = true}), 1);
    EXPECT_EQ(MakeLayoutFlags({.ChkEdit = true}), 2);
    EXPECT_EQ(MakeLayoutFlags({.ChkTile = true}), 4);
    EXPECT_EQ(MakeLayoutFlags({.ChkGrid = true}), 8);
    EXPECT_EQ(MakeLayoutFlags({.ChkGridEditor = true}), 16);
    EXPECT_EQ(MakeLayoutFlags({.ChkNoncopied = true}), 32);
    EXPECT_EQ(MakeLayoutFlags({.CheckSaveWarn = true}), 256);
    EXPECT_EQ(MakeLayoutFlags({.CheckSpeed = true}), 512);
    EXPECT_EQ(MakeLayoutFlags({true, true, true, true, true, true, true, true}), 0x033F);
}

TEST(ConfigFileFlags, UnusedBitsAreIgnoredWhenRead)
{
    EXPECT_EQ(ReadLayoutFlags(0xFCC0), LayoutSwitches{});
    const LayoutSwitches gridOffTimingOn = ReadLayoutFlags(0xFFFF & ~8 & ~256);
    EXPECT_FALSE(gridOffTimingOn.ChkGrid);
    EXPECT_FALSE(gridOffTimingOn.CheckSaveWarn);
    EXPECT_TRUE(gridOffTimingOn.CheckSpeed);
    EXPECT_TRUE(gridOffTimingOn.ChkNoncopied);
}

TEST(ConfigFileFlags, EveryCombinationRoundTrips)
{
    for (int bits = 0; bits < 256; ++bits) {
        const std::uint16_t flags = static_cast<std::uint16_t>((bits & 0x3F) | ((bits & 0xC0) << 2));
        EXPECT_EQ(MakeLayoutFlags(ReadLayoutFlags(flags)), flags);
    }
}

// --- Twips --------------------------------------------------------------------

TEST(ConfigFileTwips, FifteenPerPixelHalvesToEven)
{
    EXPECT_EQ(PixelsToTwips(1), 15);
    EXPECT_EQ(PixelsToTwips(0.5), 8);   // 7.5
    EXPECT_EQ(PixelsToTwips(1.5), 22);  // 22.5
    EXPECT_EQ(PixelsToTwips(2.5), 38);  // 37.5
    EXPECT_EQ(PixelsToTwips(-0.5), -8);
    EXPECT_EQ(PixelsToTwips(-1.5), -22);
}

TEST(ConfigFileTwips, SaturatesAtThe16BitRange)
{
    EXPECT_EQ(PixelsToTwips(2184), 32760);
    EXPECT_EQ(PixelsToTwips(2185), 32767);
    EXPECT_EQ(PixelsToTwips(1e9), 32767);
    EXPECT_EQ(PixelsToTwips(-2185), -32768);
    EXPECT_EQ(PixelsToTwips(-1e9), -32768);
}

TEST(ConfigFileTwips, ForeignTwipsRoundToTheNearestPixel)
{
    EXPECT_EQ(TwipsToPixels(15), 1);
    EXPECT_EQ(TwipsToPixels(22), 1);
    EXPECT_EQ(TwipsToPixels(23), 2);
    EXPECT_EQ(TwipsToPixels(-22), -1);
    EXPECT_EQ(TwipsToPixels(-23), -2);
    EXPECT_EQ(TwipsToPixels(32767), 2184);
    EXPECT_EQ(TwipsToPixels(-32768), -2185);
}

// --- Refused files --------------------------------------------------------------

TEST(ConfigFileRefusal, Marker53IsIgnored)
{
    std::vector<std::uint8_t> bytes = SampleBytes();
    bytes[0] = 53;
    EXPECT_FALSE(ParseConfigFile(bytes.data(), bytes.size()).has_value());
    // 54 + 256: the marker is the whole 16-bit value.
    bytes[0] = 54;
    bytes[1] = 1;
    EXPECT_FALSE(ParseConfigFile(bytes.data(), bytes.size()).has_value());
}

TEST(ConfigFileRefusal, ShorterThan64BytesIsIgnored)
{
    const std::vector<std::uint8_t> bytes = SampleBytes();
    EXPECT_FALSE(ParseConfigFile(bytes.data(), 63).has_value());
    EXPECT_FALSE(ParseConfigFile(bytes.data(), 2).has_value());
    EXPECT_FALSE(ParseConfigFile(bytes.data(), 0).has_value());
    EXPECT_FALSE(ParseConfigFile(nullptr, 64).has_value());
    EXPECT_TRUE(ParseConfigFile(bytes.data(), 64).has_value());
}

TEST(ConfigFileRefusal, LongerFileIsReadFromItsFirst64Bytes)
{
    std::vector<std::uint8_t> bytes = SampleBytes();
    bytes.resize(100, 0xEE);
    const auto layout = ParseConfigFile(bytes.data(), bytes.size());
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(*layout, SampleLayout());
}

// --- Clamping ---------------------------------------------------------------------

TEST(ConfigFileClamping, GridSizesAndZoomsStayInTheirRanges)
{
    struct Case {
        std::int16_t Columns, Lines, BrowserZoom, EditorZoom;
        int WantColumns, WantLines, WantBrowserZoom, WantEditorZoom;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 2, 6, 2, 2},
        {1, 5, 1, 1, 2, 6, 2, 2},
        {2, 6, 2, 2, 2, 6, 2, 2},
        {16, 16, 13, 30, 16, 16, 13, 30},
        {17, 17, 14, 31, 16, 16, 13, 30},
        {-5, -5, -5, 200, 2, 6, 2, 30},
        {32767, 32767, 32767, 0x0105, 16, 16, 13, 5},  // only the low byte of the editor zoom counts
        {-32768, -32768, -32768, 0x0100, 2, 6, 2, 2},
        {8, 12, 7, -1, 8, 12, 7, 30},  // low byte 255
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = SampleBytes();
        PutValue(bytes, 20, c.Columns);
        PutValue(bytes, 22, c.Lines);
        PutValue(bytes, 24, c.BrowserZoom);
        PutValue(bytes, 38, c.EditorZoom);
        const auto layout = ParseConfigFile(bytes.data(), bytes.size());
        ASSERT_TRUE(layout.has_value());
        EXPECT_EQ(layout->BrowserColumns, c.WantColumns) << c.Columns;
        EXPECT_EQ(layout->BrowserLines, c.WantLines) << c.Lines;
        EXPECT_EQ(layout->BrowserZoom, c.WantBrowserZoom) << c.BrowserZoom;
        EXPECT_EQ(layout->EditorZoom, c.WantEditorZoom) << c.EditorZoom;
    }
}

TEST(ConfigFileClamping, WindowsFitTheScreen)
{
    const ScreenRect screen{0, 0, 800, 600};
    LayoutConfig layout = SampleLayout();
    layout.MainSize = {2000, 20};
    layout.ToolsPos = {-40, 900};
    layout.BrowserPos = {799, -1};
    layout.EditorPos = {768, 568};
    layout.EditorSize = {1000, 10};
    FitLayoutToScreen(layout, screen);
    EXPECT_EQ(layout.MainSize, (PixelSize{800, MinMainSide}));
    EXPECT_EQ(layout.ToolsPos, (PixelPoint{0, 600 - MinVisiblePart}));
    EXPECT_EQ(layout.BrowserPos, (PixelPoint{800 - MinVisiblePart, 0}));
    EXPECT_EQ(layout.EditorPos, (PixelPoint{768, 568}));
    EXPECT_EQ(layout.EditorSize, (PixelSize{800, MinEditorSide}));
    // Fields that fit are left alone.
    EXPECT_EQ(layout.BrowCtrlPos, SampleLayout().BrowCtrlPos);
    EXPECT_EQ(layout.TileCtrlPos, SampleLayout().TileCtrlPos);
}

TEST(ConfigFileClamping, TinyScreenKeepsTheMinimumSizes)
{
    LayoutConfig layout = SampleLayout();
    FitLayoutToScreen(layout, ScreenRect{0, 0, 20, 20});
    EXPECT_EQ(layout.MainSize, (PixelSize{MinMainSide, MinMainSide}));
    EXPECT_EQ(layout.EditorSize, (PixelSize{MinEditorSide, MinEditorSide}));
    EXPECT_EQ(layout.PalettePos, (PixelPoint{0, 0}));
}

TEST(ConfigFileClamping, FloatingWindowsFollowTheMainWindow)
{
    const ScreenRect screen{0, 0, 1024, 768};
    EXPECT_EQ(FloatingPosition({50, 60}, {100, 200}, screen), (PixelPoint{150, 260}));
    EXPECT_EQ(FloatingPosition({-500, -500}, {100, 200}, screen), (PixelPoint{0, 0}));
    EXPECT_EQ(FloatingPosition({2000, 2000}, {100, 200}, screen), (PixelPoint{1024 - 32, 768 - 32}));

    // A screen away from the origin, and sums beyond the int range.
    const ScreenRect far{1920, -100, 1280, 1024};
    EXPECT_EQ(FloatingPosition({10, 10}, {2000, 0}, far), (PixelPoint{2010, 10}));
    EXPECT_EQ(FloatingPosition({-300, -300}, {2000, 0}, far), (PixelPoint{1920, -100}));
    EXPECT_EQ(FloatingPosition({INT_MAX, INT_MIN}, {INT_MAX, INT_MIN}, far), (PixelPoint{1920 + 1280 - 32, -100}));
}

// --- Saving over an existing file ----------------------------------------------

TEST(ConfigFileSave, BytesPastTheLayoutAreKept)
{
    const auto layout = BuildConfigFile(SampleLayout());
    std::vector<std::uint8_t> existing(70, 0xEE);
    for (std::size_t i = 64; i < existing.size(); ++i)
        existing[i] = static_cast<std::uint8_t>(i);
    std::vector<std::uint8_t> expected(layout.begin(), layout.end());
    expected.insert(expected.end(), {64, 65, 66, 67, 68, 69});
    EXPECT_EQ(ConfigFileOver(layout, existing), expected);

    // A file of 64 bytes or fewer is replaced by the 64 layout bytes.
    const std::vector<std::uint8_t> bare(layout.begin(), layout.end());
    EXPECT_EQ(ConfigFileOver(layout, std::vector<std::uint8_t>(64, 0xEE)), bare);
    EXPECT_EQ(ConfigFileOver(layout, std::vector<std::uint8_t>(10, 0xEE)), bare);
    EXPECT_EQ(ConfigFileOver(layout, {}), bare);
}

// --- Placing windows on the screen ---------------------------------------------

TEST(FrameOnScreen, OversizedFrameShrinksAndMovesInside)
{
    const ScreenRect screen{0, 30, 1024, 738};  // a panel above
    const FrameMargins margins{4, 24, 4, 4};
    // A maximised window's outer size restored as its client size.
    EXPECT_EQ(FitFrameToScreen({0, 0, 1024, 738}, margins, screen), (PixelRect{4, 54, 1016, 710}));
    // Off to the right and below: moved back so the frame ends at the edges.
    EXPECT_EQ(FitFrameToScreen({900, 700, 300, 200}, margins, screen), (PixelRect{720, 564, 300, 200}));
    // Off to the left and above: its frame corner goes to the area's corner.
    EXPECT_EQ(FitFrameToScreen({-50, 0, 300, 200}, margins, screen), (PixelRect{4, 54, 300, 200}));
    // A frame already inside stays as it is.
    EXPECT_EQ(FitFrameToScreen({100, 100, 300, 200}, margins, screen), (PixelRect{100, 100, 300, 200}));
    // Margins larger than the screen still leave a client of one pixel.
    EXPECT_EQ(FitFrameToScreen({0, 0, 50, 50}, {40, 40, 40, 40}, {0, 0, 60, 60}), (PixelRect{40, 40, 1, 1}));
}

TEST(FloatingDefaultPlace, CentredOverTheWorkingAreaBelowTheMenus)
{
    const ScreenRect screen{0, 0, 1280, 1024};
    EXPECT_EQ(DefaultFloatingPosition({100, 150, 700, 500}, {200, 100}, screen), (PixelPoint{350, 350}));
    // Taller than the area: its top at the area's top, never over the menus.
    EXPECT_EQ(DefaultFloatingPosition({100, 150, 700, 500}, {200, 600}, screen), (PixelPoint{350, 150}));
    // Near the screen's edges: kept on the screen.
    EXPECT_EQ(DefaultFloatingPosition({1100, 900, 300, 200}, {400, 300}, screen), (PixelPoint{880, 724}));
    EXPECT_EQ(DefaultFloatingPosition({-300, 10, 200, 100}, {300, 50}, screen), (PixelPoint{0, 35}));
}
