#pragma once

#include <vector>

struct Windows;
struct EditReport;
struct ModeInfo;

// One function per kind of model change. A window that changed the model
// calls the one for that kind; it announces the change on the windows'
// change board, and every window that shows that kind brings itself up to
// date. A view added later subscribes to the kinds it shows.

// The working palette changed: every picture in the new colors.
void PaletteChanged(Windows& windows);

// A color of a stored color set changed: the color set window shows it.
void ColorSetsChanged(Windows& windows);

// The pixels, addresses or modes of these editor cells changed (the tile
// tool's mode line follows its cell).
void CellsChanged(Windows& windows, const std::vector<int>& cells);
// Only the addresses or modes of cells changed: their pictures stay as
// they are on screen.
void CellAddressesChanged(Windows& windows);
// Every editor cell may have changed.
void AllCellsChanged(Windows& windows);

// Bytes of the ROM were written: the browser reads its tiles again and
// the editor shows its cells as they follow the file and which are saved now.
void RomBytesChanged(Windows& windows);

// The browser's address moved: it reads and shows the tiles there.
void BrowserAddressChanged(Windows& windows);

// The graphics mode changed: the views that depend on it outside the
// browser (the tile tool's mode line, the palette panel's shift count).
void ModeChanged(Windows& windows, const ModeInfo& mode);

// A file was opened (or an open failed, which closes the old file): no
// cell belongs to it, and the browser shows it.
void FileOpened(Windows& windows);
// The file was closed: the browser hides.
void FileClosed(Windows& windows);
// The browser shows the file again or a compressed stream in its place.
void TilesSourceChanged(Windows& windows);

// Shows what a change has to tell: its message box, then its information
// line.
void ShowReport(Windows& windows, const EditReport& report);
