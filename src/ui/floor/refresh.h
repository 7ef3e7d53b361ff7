#pragma once

#include <vector>

struct Windows;
struct EditReport;
struct ModeInfo;

// One function per kind of model change. A window that changed the model
// calls the one for that kind, which brings every view up to date, instead
// of calling other windows' redraws one by one. A view added later is
// added here once. Windows that do not exist (yet) are skipped.

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

// Shows what a change has to tell: its message box, then its information
// line.
void ShowReport(Windows& windows, const EditReport& report);
