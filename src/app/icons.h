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
};

QIcon DrawnIcon(IconKind kind);
