#pragma once

#include "ui/floor/change_board.h"

class Tools;
class Help;
class Browser;
class BrowCtrl;
class PaletteCtrl;
class Editor;
class EditCtrl;
class TileCtrl;
class ColorSet;
class ColorDialog;
class Options;
class Pattern;
class COutPut;
class Bookmark;
class FileInfo;
class Dialogs;
class Shell;
class UndoEdge;
class FindGraphics;
class FindStreams;
class TilemapWindow;

// Every window of the program, handed to each window so one window calls
// another's described operations directly. The main window creates every
// window before it wires any of them, so no pointer here is ever null once
// a window can be used. Windows reach the main window through Shell and tell
// each other of changes through Changes.
struct Windows {
    Windows(class Dialogs& dialogs, class Shell& shell) : Dialogs(dialogs), Shell(shell) {}

    class Tools* Tools = nullptr;
    class Help* Help = nullptr;
    class Browser* Browser = nullptr;
    class BrowCtrl* BrowCtrl = nullptr;
    class PaletteCtrl* PaletteCtrl = nullptr;
    class Editor* Editor = nullptr;
    class EditCtrl* EditCtrl = nullptr;
    class TileCtrl* TileCtrl = nullptr;
    class ColorSet* ColorSet = nullptr;
    class ColorDialog* ColorDialog = nullptr;
    class Options* Options = nullptr;
    class Pattern* Pattern = nullptr;
    class COutPut* COutPut = nullptr;
    class Bookmark* Bookmark = nullptr;
    class FileInfo* FileInfo = nullptr;
    class UndoEdge* UndoEdge = nullptr;
    class FindGraphics* FindGraphics = nullptr;
    class FindStreams* FindStreams = nullptr;
    class TilemapWindow* Tilemap = nullptr;
    class Dialogs& Dialogs;
    class Shell& Shell;
    ChangeBoard Changes;
};
