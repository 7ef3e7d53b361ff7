#include "model/core/confirm_save.h"

#include "model/core/write_messages.h"

namespace {

const std::string SaveWarningText = "You are about to save to file. This will change the\rfile permanently.\r\r"
                                    "You should always keep a backup\rof the file you are altering.\r\r"
                                    "Do you want to save?";
const std::string SaveWarningCaption = "Saving?";

// Why no write into the open file can succeed now; empty when one can.
std::string WhyNothingCanBeWritten(const RomFile& file)
{
    if (file.Length() == 0)
        return "The file '" + file.Path() + "' is empty, so nothing can be written into it; nothing was written.";
    return file.CheckStillTheSameFile(0, 0).Reason;
}

}  // namespace

bool ConfirmSave(const ProgramState& state, Dialogs& dialogs)
{
    if (!state.FileOpen())
        return false;
    if (RomFile::IsReadOnly(state.FileName())) {
        dialogs.Message(ReadOnlyFileText, WriteFailedCaption, MsgIcon::None);
        return false;
    }
    // Refused before the warning: a "yes" must never lead to a write that cannot happen.
    if (const std::string reason = WhyNothingCanBeWritten(state.FileHandle); !reason.empty()) {
        dialogs.Message(reason, WriteFailedCaption, MsgIcon::Critical);
        return false;
    }
    if (!state.ShowSaveWarning)
        return true;
    return dialogs.AskYesNo(SaveWarningText, SaveWarningCaption);
}
