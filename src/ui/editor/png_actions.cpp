#include "ui/editor/png_actions.h"

#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "ui/browser/browser.h"
#include "model/editor/bmp_exchange.h"
#include "ui/editor/export_path.h"
#include "model/editor/png_exchange.h"
#include "model/editor/image_formats.h"

namespace {

const std::string PngFilter = ImageFilter(PngImageFile);

void Export(Dialogs& dialogs, const IndexedImage& image)
{
    const std::string path = ChooseExportPath(dialogs, PngFilter);
    if (path.empty())
        return;
    if (const auto failure = SavePngFile(path, image))
        dialogs.Message(*failure);
}

}  // namespace

void ImportPng(ProgramState& state, Windows& windows)
{
    Dialogs& dialogs = windows.Dialogs;
    const FileChoice choice = dialogs.OpenFile(PngFilter);
    if (choice.Path.empty())
        return;
    const Loaded<BmpFileContent> load = LoadPngPicture(choice.Path, state.WorkingPalette);
    if (load.Error) {
        dialogs.Message(*load.Error);
        return;
    }
    RecordStep(state.Recorder, "PNG import",
               [&] { StoreBmpPicture(load.Picture, state.EditorSlots, state.WorkingPalette); });
    PaletteChanged(windows);
}

void ExportEditorPng(ProgramState& state, Windows& windows)
{
    Export(windows.Dialogs, EditorPicture(state.EditorSlots, state.WorkingPalette));
}

void ExportBrowserPng(ProgramState& state, Windows& windows)
{
    if (!state.FileOpen()) {
        windows.Dialogs.Message("Open a file first: the browser grid shows the tiles of the open file.", "No file open",
                                MsgIcon::Information);
        return;
    }
    Export(windows.Dialogs, BrowserGridPicture(windows.Browser->DecodedPixels(), state.BrowserColumns, state.BrowserLines,
                                               state.WorkingPalette));
}
