#pragma once

#include <QIcon>

// The small pictures on the program's picture buttons and toggles, drawn
// at run time so no image files need to ship.
enum class IconKind {
    Open,
    Close,
    ZoomIn,
    ZoomOut,
    Grid,
    ColorSet,
    Bookmark,
    FileInfo,
    Menu,
    Help,
    Options,
    BmpImport,
    BmpExport,
    Patterns,
    TileTool,
    Editor,
    Browser,
    TileFlipX,
    TileFlipY,
    TileRotate,
    TileClear,
    TileSave,
    TileReload,
    TileCopyToAddress,
    TileCopyToSelection,
    PngImport,
    PngExport,
    PngBrowser,
    FindGraphics,
};

QIcon DrawnIcon(IconKind kind);

class QToolButton;

// A picture button (or toggle) with its tool tip.
QToolButton* MakePictureButton(IconKind icon, const char* toolTip, bool toggle = false, bool pressed = false);
