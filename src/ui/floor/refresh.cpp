#include "ui/floor/refresh.h"

#include "model/core/dialogs.h"
#include "model/editor/cell_writes.h"
#include "ui/floor/shell.h"
#include "ui/floor/windows.h"

void PaletteChanged(Windows& windows)
{
    windows.Changes.Announce(ChangeKind::Palette);
}

void ColorSetsChanged(Windows& windows)
{
    windows.Changes.Announce(ChangeKind::ColorSets);
}

void CellsChanged(Windows& windows, const std::vector<int>& cells)
{
    windows.Changes.Announce(Change{ChangeKind::Cells, cells});
}

void CellAddressesChanged(Windows& windows)
{
    windows.Changes.Announce(ChangeKind::CellAddresses);
}

void AllCellsChanged(Windows& windows)
{
    windows.Changes.Announce(ChangeKind::AllCells);
}

void RomBytesChanged(Windows& windows)
{
    windows.Changes.Announce(ChangeKind::RomBytes);
}

void BrowserAddressChanged(Windows& windows)
{
    windows.Changes.Announce(ChangeKind::BrowserAddress);
}

void ModeChanged(Windows& windows, const ModeInfo& mode)
{
    windows.Changes.Announce(Change{ChangeKind::Mode, {}, &mode});
}

void FileOpened(Windows& windows)
{
    windows.Changes.Announce(ChangeKind::FileOpened);
}

void FileClosed(Windows& windows)
{
    windows.Changes.Announce(ChangeKind::FileClosed);
}

void TilesSourceChanged(Windows& windows)
{
    windows.Changes.Announce(ChangeKind::TilesSource);
}

void ShowReport(Windows& windows, const EditReport& report)
{
    if (report.Message)
        windows.Dialogs.Message(*report.Message);
    if (report.InfoText)
        windows.Shell.SetInfoText(*report.InfoText);
}
