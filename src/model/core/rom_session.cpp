#include "model/core/rom_session.h"

namespace {

// A stream shown belongs to the file it is in.
void CloseFile(ProgramState& state)
{
    state.ShownStream.reset();
    state.ShownSource = {};
    state.FileHandle.Close();
}

}  // namespace

OpenRomOutcome OpenRomInState(ProgramState& state, const std::string& path)
{
    CloseFile(state);

    OpenRomOutcome outcome;
    if (!path.empty() && RomFile::Exists(path)) {
        const RomFile::OpenResult result = state.FileHandle.Open(path);
        outcome.Notice = result.Notice;
        if (result.Opened()) {
            state.BrowserAddress = 0;
            state.BrowserDiv = 0;
            outcome.Opened = true;
        } else {
            outcome.Problem = result.Reason;
        }
    }

    UnbindAllSlots(state.EditorSlots);
    // The history belongs to the file: a new file starts a new one, from
    // the cells unbound.
    state.Recorder.NewFile();
    return outcome;
}

std::string OpenedInfoText(const Document& document)
{
    return "Opened " + document.FileName() + " (" + std::to_string(document.FileLength()) + " bytes)";
}

std::string CloseRomInState(ProgramState& state)
{
    const std::string text = "Closed file " + state.FileName();
    CloseFile(state);
    state.Recorder.NewFile();
    return text;
}
