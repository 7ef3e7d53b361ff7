#include "core/confirm_save.h"

namespace {

const std::string ReadOnlyText = "The opened file is 'read only'.";
const std::string ReadOnlyCaption = "Could not write to file";
const std::string SaveWarningText = "You are about to save to file. This will change the\rfile permanently.\r\r"
                                    "You should always keep a backup\rof the file you are altering.\r\r"
                                    "Do you want to save?";
const std::string SaveWarningCaption = "Saving?";

}  // namespace

bool ConfirmSave(const ProgramState& state, Dialogs& dialogs)
{
    if (!state.FileOpen())
        return false;
    if (RomFile::IsReadOnly(state.FileName())) {
        dialogs.Message(ReadOnlyText, ReadOnlyCaption, MsgIcon::None);
        return false;
    }
    if (!state.ShowSaveWarning)
        return true;
    return dialogs.AskYesNo(SaveWarningText, SaveWarningCaption);
}
