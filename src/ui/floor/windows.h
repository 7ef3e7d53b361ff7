#pragma once

class MainForm;
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
class UndoEdge;
class FindGraphics;

// Every window of the program, created once by MainForm and handed to each
// window, so one window calls another's public operations directly. A window
// that does not exist (yet) is null; the dialogs are always there.
struct Windows {
    explicit Windows(class Dialogs& dialogs) : Dialogs(dialogs) {}

    class MainForm* MainForm = nullptr;
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
    class Dialogs& Dialogs;
};
