#include "core/rom_session.h"

OpenRomOutcome OpenRomInState(ProgramState& state, const std::string& path)
{
    state.FileHandle.Close();
    state.FileOpen = false;
    state.FileName.clear();

    OpenRomOutcome outcome;
    if (!path.empty() && RomFile::Exists(path)) {
        const RomFile::OpenResult result = state.FileHandle.Open(path);
        if (result.Opened()) {
            state.FileOpen = true;
            state.FileName = path;
            state.FileLength = state.FileHandle.Length();
            state.BrowserAddress = 0;
            outcome.Opened = true;
        } else {
            outcome.Problem = result.Reason;
        }
    }

    for (EditorSlot& slot : state.EditorSlots)
        if (slot.Address != EmptySlot) {
            slot.Address = UnboundTile;
            slot.Mode.reset();
        }
    return outcome;
}

std::string OpenedInfoText(const ProgramState& state)
{
    return "Opened " + state.FileName + " (" + std::to_string(state.FileLength) + " bytes)";
}

std::string CloseRomInState(ProgramState& state)
{
    const std::string text = "Closed file " + state.FileName;
    state.FileOpen = false;
    state.FileHandle.Close();
    // FileLength keeps the length measured at the open.
    state.FileName.clear();
    return text;
}
