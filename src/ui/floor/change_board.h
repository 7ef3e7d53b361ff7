#pragma once

#include <functional>
#include <span>
#include <vector>

struct ModeInfo;

// The kinds of change a window may show. The model step or window that
// made a change announces its kind once; every window that shows that kind
// has subscribed to it and brings itself up to date.
enum class ChangeKind {
    Palette,         // the working palette: every picture in the new colors
    ColorSets,       // a color of a stored color set
    Cells,           // pixels, addresses or modes of the listed editor cells
    CellTransformed, // the tile tool turned the first listed cell; the rest are its twins
    CellAddresses,   // only addresses or modes of cells: pictures stay
    AllCells,        // every editor cell may have changed
    RomBytes,        // bytes of the ROM were written
    BrowserAddress,  // the browser's address moved
    Mode,            // the graphics mode changed
    FileOpened,      // a file was opened (or an open failed, closing the old one)
    FileClosed,      // the file was closed
    BrowserView,     // the browser's zoom or grid size: read, sized and drawn again
    BrowserSize,     // the browser's window fits its grid again
    BrowserGrid,     // the browser's grid switch: drawn again
    BrowserJump,     // the browser reads its grid at a new address and draws it
    CurrentColor,    // the color that paints
    EditorView,      // the editor's grid or empty-cell switch
    EditorSize,      // the editor's canvas size (its zoom): the scroll bars fit it
    EditorCleared,   // every editor cell was emptied: the editor starts over
    Layout,          // which working windows show follows the tool panel's switches
    TilesSource,     // the browser shows the file or a compressed stream in its place
    AddressForm,     // addresses show in hexadecimal or in decimal now
    Count
};

struct Change {
    ChangeKind Kind;
    std::span<const int> Cells = {};      // for ChangeKind::Cells
    const ModeInfo* Mode = nullptr;       // for ChangeKind::Mode
    bool RedrawAll = false;               // for ChangeKind::CellTransformed
};

// Delivers each announced change to the windows that subscribed to its kind,
// in the order they subscribed. Windows subscribe once, when they are made;
// the floor itself knows no window.
class ChangeBoard {
public:
    using Handler = std::function<void(const Change&)>;

    void Subscribe(ChangeKind kind, Handler handler);
    void Announce(const Change& change) const;
    void Announce(ChangeKind kind) const { Announce(Change{kind}); }

private:
    std::vector<Handler> handlers_[static_cast<int>(ChangeKind::Count)];
};
