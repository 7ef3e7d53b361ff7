#pragma once

#include "model/core/config_file.h"

#include <string>

struct ProgramState;
struct Windows;
class Dialogs;
class QWidget;

// The two folders the layout file may live in: the program's own and the
// user's configuration folder. Tests pass folders of their own.
struct ConfigFolders {
    std::string ProgramFolder;
    std::string UserFolder;
};

// The program's folder and the user's configuration folder, from Qt.
ConfigFolders DefaultConfigFolders();

// Where the layout is written: the program's folder when it is writable,
// else the user's folder.
std::string ConfigWritePath(const ConfigFolders& folders);

// Where the layout is read from: the file where it would be written, if it
// exists, else the one in the other folder; empty when neither exists. The
// program's folder comes first whenever it is writable.
std::string ConfigReadPath(const ConfigFolders& folders);

// The current layout and switches as the file stores them. The main
// window's size is its outer one, frame included; the floating windows'
// places are offsets from its outer corner.
LayoutConfig GatherLayout(const ProgramState& state, Windows& windows);

// Applies a layout in the file's order; switches last. The main window gets
// the stored outer size once its frame is known (see MainFrameKeeper);
// hidden floating windows take their offsets when shown.
void ApplyLayout(ProgramState& state, Windows& windows, LayoutConfig layout);

// Puts the main window's whole frame, title bar included, on the screen.
void FitMainFrame(QWidget& form);

// Writes the layout file; tells the user when it cannot be written.
// Returns whether it was written.
bool SaveConfig(ProgramState& state, Windows& windows, Dialogs& dialogs,
                const ConfigFolders& folders = DefaultConfigFolders());

// Reads and applies the layout file. A missing file, one shorter than 64
// bytes or one without the marker changes nothing, silently. Returns
// whether a layout was applied.
bool LoadConfig(ProgramState& state, Windows& windows, const ConfigFolders& folders = DefaultConfigFolders());
