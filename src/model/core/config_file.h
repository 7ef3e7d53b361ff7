#pragma once

#include "model/core/view_limits.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The layout file "Brixel.cfg": 32 little-endian signed 16-bit values
// (64 bytes). The first is the marker 54, the second the switch flags, the
// rest window positions and sizes in twips and the browser and editor view
// values. Positions of the floating windows are offsets from the main
// window's outer top-left corner.

inline constexpr const char* ConfigFileName = "Brixel.cfg";
inline constexpr std::size_t ConfigFileSize = 64;
inline constexpr std::int16_t ConfigMarker = 54;
inline constexpr int TwipsPerPixel = 15;
// A save keeps the bytes an existing file holds past the first 64; it reads
// at most this much of that file and leaves a larger one alone.
inline constexpr std::size_t ConfigKeepLimit = 16 * 1024 * 1024;

// Bits of LayoutFlags; the other bits are written as 0 and ignored.
enum LayoutFlag : std::uint16_t {
    FlagChkBrow = 1,
    FlagChkEdit = 2,
    FlagChkTile = 4,
    FlagChkGrid = 8,
    FlagChkGridEditor = 16,
    FlagChkNoncopied = 32,
    FlagCheckSaveWarn = 256,
    FlagCheckSpeed = 512,
};

// The eight switches, in the order they are applied.
struct LayoutSwitches {
    bool ChkBrow = false;
    bool ChkEdit = false;
    bool ChkTile = false;
    bool ChkGrid = false;
    bool ChkGridEditor = false;
    bool ChkNoncopied = false;
    bool CheckSaveWarn = false;
    bool CheckSpeed = false;

    bool operator==(const LayoutSwitches&) const = default;
};

std::uint16_t MakeLayoutFlags(const LayoutSwitches& switches);
LayoutSwitches ReadLayoutFlags(std::uint16_t flags);

struct PixelPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct PixelSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const PixelSize&) const = default;
};

// A window's rectangle on the screen, in pixels.
struct PixelRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const PixelRect&) const = default;
};

// The part of the screen windows may use.
using ScreenRect = PixelRect;

// The widths of a window's frame (title bar included) around its client area.
struct FrameMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// Everything the file holds, in pixels, fields in file order.
struct LayoutConfig {
    LayoutSwitches Switches;
    PixelSize MainSize;
    PixelPoint ToolsPos;
    PixelPoint BrowCtrlPos;
    PixelPoint BrowserPos;
    int BrowserColumns = 0;
    int BrowserLines = 0;
    int BrowserZoom = 0;
    PixelPoint EditCtrlPos;
    PixelPoint EditorPos;
    PixelSize EditorSize;
    int EditorZoom = 0;
    PixelPoint PalettePos;
    PixelPoint TileCtrlPos;
    PixelPoint BookmarkOffset;
    PixelPoint ColorSetOffset;
    PixelPoint PatternOffset;
    PixelPoint OptionsOffset;

    bool operator==(const LayoutConfig&) const = default;
};

// A loaded layout is clamped to the view limits and to this.
inline constexpr int MinMainSide = 100;
// A restored window keeps at least this much of itself on the screen.
inline constexpr int MinVisiblePart = 32;

// Pixels to twips rounded half to even, saturated at the 16-bit range.
std::int16_t PixelsToTwips(double pixels);
// Twips to whole pixels, rounded half to even.
int TwipsToPixels(std::int16_t twips);

// The 64 bytes of the file.
std::array<std::uint8_t, ConfigFileSize> BuildConfigFile(const LayoutConfig& layout);

// The file to write over an existing one: the 64 layout bytes, then the
// existing file's bytes past its first 64, which a save keeps.
std::vector<std::uint8_t> ConfigFileOver(const std::array<std::uint8_t, ConfigFileSize>& layout,
                                         const std::vector<std::uint8_t>& existing);

// Reads the first 64 bytes. Nothing for a shorter file or a marker other
// than 54. Grid sizes and zooms are clamped to their ranges; the editor
// zoom uses the low byte of its value only.
std::optional<LayoutConfig> ParseConfigFile(const std::uint8_t* bytes, std::size_t size);

// Clamps the main window's size and the child windows' places and the
// editor's size so that each fits the screen area.
void FitLayoutToScreen(LayoutConfig& layout, const ScreenRect& screen);

// Where a window goes to lie wholly inside an area, moved as little as
// possible; one larger than the area puts its top-left corner at the area's.
PixelPoint PlaceWhollyInside(const PixelRect& window, const PixelRect& area);

// Where a floating window goes: its stored offset from the main window's
// corner, kept on the screen.
PixelPoint FloatingPosition(PixelPoint offset, PixelPoint mainCorner, const ScreenRect& screen);

// The client rectangle that puts a main window's whole frame inside the
// screen area: the frame shrinks to the area's size at most (the client
// keeps at least one pixel) and moves inside it.
PixelRect FitFrameToScreen(const PixelRect& client, const FrameMargins& margins, const ScreenRect& screen);

// Where a floating window that nothing has placed yet goes: centred over the
// main window's working area (below its menus), its top never above that
// area's top, then kept inside the screen as far as it fits. frame is the
// window's outer size.
PixelPoint DefaultFloatingPosition(const PixelRect& area, PixelSize frame, const ScreenRect& screen);
