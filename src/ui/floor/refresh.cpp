#include "ui/floor/refresh.h"

#include "ui/app/main_form.h"
#include "ui/floor/windows.h"
#include "ui/browser/browser.h"
#include "model/core/dialogs.h"
#include "model/core/mode_table.h"
#include "model/editor/cell_writes.h"
#include "ui/editor/editor.h"
#include "ui/editor/tile_ctrl.h"
#include "ui/palette/color_set.h"
#include "ui/palette/palette_ctrl.h"
#include "model/palette/working_palette.h"
#include "ui/tools/find_graphics.h"

void PaletteChanged(Windows& windows)
{
    if (windows.Browser)
        windows.Browser->RedrawBrowser();
    AllCellsChanged(windows);
    if (windows.PaletteCtrl)
        windows.PaletteCtrl->DrawPalettePanel();
}

void ColorSetsChanged(Windows& windows)
{
    if (windows.ColorSet)
        windows.ColorSet->DrawSelectedSet();
}

void CellsChanged(Windows& windows, const std::vector<int>& cells)
{
    if (windows.TileCtrl)
        windows.TileCtrl->ShowCellMode();
    if (!windows.Editor)
        return;
    for (int slot : cells)
        windows.Editor->RenderSlot(slot);
    windows.Editor->RedrawEditor();
}

void CellAddressesChanged(Windows& windows)
{
    if (windows.TileCtrl)
        windows.TileCtrl->ShowCellMode();
}

void AllCellsChanged(Windows& windows)
{
    if (windows.TileCtrl)
        windows.TileCtrl->ShowCellMode();
    if (!windows.Editor)
        return;
    windows.Editor->RenderAllSlots();
    windows.Editor->RedrawEditor();
}

void RomBytesChanged(Windows& windows)
{
    if (windows.Browser)
        windows.Browser->ReloadBrowser();
    // Cells over the written bytes may have been read again, and written
    // cells lose their unsaved marks.
    AllCellsChanged(windows);
}

void BrowserAddressChanged(Windows& windows)
{
    if (windows.Browser)
        windows.Browser->ReloadBrowser();
}

void ModeChanged(Windows& windows, const ModeInfo& mode)
{
    if (windows.TileCtrl)
        windows.TileCtrl->ShowCellMode();
    if (windows.PaletteCtrl) {
        windows.PaletteCtrl->SetShiftCount(ShiftCountForBits(mode.BitsPerPixel));
        windows.PaletteCtrl->DrawPalettePanel();
    }
}

void FileOpened(Windows& windows)
{
    if (windows.FindGraphics)
        windows.FindGraphics->FileChanged();
    if (windows.TileCtrl)
        windows.TileCtrl->LoadTile(-1);
    if (windows.Browser)
        windows.Browser->ReloadBrowser();
}

void FileClosed(Windows& windows)
{
    if (windows.FindGraphics)
        windows.FindGraphics->FileChanged();
    if (windows.Browser)
        windows.Browser->ReloadBrowser();
}

void ShowReport(Windows& windows, const EditReport& report)
{
    if (report.Message)
        windows.Dialogs.Message(*report.Message);
    if (report.InfoText && windows.MainForm)
        windows.MainForm->SetInfoText(*report.InfoText);
}
