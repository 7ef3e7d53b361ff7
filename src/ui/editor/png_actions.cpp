#include "ui/editor/png_actions.h"

#include "ui/floor/refresh.h"
#include "ui/floor/shell.h"
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
    const ModeInfo& mode = CurrentModeInfo(state);
    const Loaded<PngPictureContent> load =
        LoadPngPicture(choice.Path, state.WorkingPalette, mode.BitsPerPixel, std::string(mode.Name));
    if (load.Error) {
        dialogs.Message(*load.Error);
        return;
    }
    // A truecolor picture that does not map exactly may keep its own colors
    // instead, when the mode has room for them: asked only then.
    const BmpPicture* picture = &load.Picture;
    std::string report;
    if (load.Match) {
        report = "PNG import: " + ColorMatchText(*load.Match, static_cast<std::int64_t>(BmpImageSide * BmpImageSide));
        if (load.Match->InexactPixels > 0 && load.Built &&
            dialogs.AskYesNo("Not every color of the picture is in the palette.\rTake the picture's own colors as the "
                             "first palette entries instead of the nearest palette colors?",
                             "PNG import")) {
            picture = &*load.Built;
            report = "PNG import: the picture's colors became the first palette entries";
        }
    }
    RecordStep(state.Recorder, "PNG import",
               [&] { StoreBmpPicture(*picture, state.EditorSlots, state.WorkingPalette); });
    PaletteChanged(windows);
    if (!report.empty())
        windows.Shell.SetInfoText(report);
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
