#pragma once

// The ranges of the browser grid and of the two zooms. The controls that
// change them stop there, and a loaded layout is clamped to them.
inline constexpr int MinBrowserColumns = 2, MaxBrowserColumns = 16;
inline constexpr int MinBrowserLines = 6, MaxBrowserLines = 16;
inline constexpr int MinBrowserZoom = 2, MaxBrowserZoom = 13;
inline constexpr int MinEditorZoom = 2, MaxEditorZoom = 30;

// The editor window is never smaller than this either way (2000 twips).
inline constexpr int MinEditorSide = 133;

// The palette panel shows at most 16 x 16 colors.
inline constexpr int MaxPaletteColumns = 16;

// Entries of the browser's decode buffer. The largest grid (16 x 16 tiles of
// 64 entries) fits well inside it.
inline constexpr int BrowserPixelCount = 40951;
