#include "ui/editor/bmp_actions.h"

#include "ui/floor/refresh.h"
#include "ui/floor/windows.h"
#include "model/core/dialogs.h"
#include "model/core/program_state.h"
#include "model/editor/bmp_exchange.h"
#include "model/editor/image_formats.h"
#include "ui/editor/export_path.h"

namespace {

const std::string BmpFilter = ImageFilter(BmpImageFile);

// Built once and kept for the run.
const BmpHeaderBytes& BmpHeader()
{
    static const BmpHeaderBytes header = BuildBmpHeader();
    return header;
}

void Show(Dialogs& dialogs, const UserMessage& message)
{
    dialogs.Message(message);
}

}  // namespace

void ImportBmp(ProgramState& state, Windows& windows)
{
    Dialogs& dialogs = windows.Dialogs;
    const FileChoice choice = dialogs.OpenFile(BmpFilter);
    if (choice.Path.empty())
        return;
    const BmpLoad load = LoadBmpFile(BmpHeader(), choice.Path);
    if (load.Error) {
        Show(dialogs, *load.Error);
        return;
    }
    RecordStep(state.Recorder, "BMP import",
               [&] { StoreBmpPicture(load.Picture, state.EditorSlots, state.WorkingPalette); });
    PaletteChanged(windows);
}

void ExportBmp(ProgramState& state, Windows& windows)
{
    Dialogs& dialogs = windows.Dialogs;
    const std::string path = ChooseExportPath(dialogs, BmpFilter);
    if (path.empty())
        return;
    if (const auto failure = SaveBmpFile(path, BmpHeader(), state.EditorSlots, state.WorkingPalette))
        Show(dialogs, *failure);
}
