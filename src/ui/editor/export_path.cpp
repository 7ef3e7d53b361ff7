#include "ui/editor/export_path.h"

#include "model/core/dialogs.h"

#include <filesystem>
#include <system_error>

std::string ChooseExportPath(Dialogs& dialogs, const std::string& filter)
{
    const FileChoice choice = dialogs.SaveFile(filter);
    if (choice.Path.empty())
        return {};
    std::error_code error;
    if (std::filesystem::exists(choice.Path, error) &&
        !dialogs.AskYesNo("Overwrite existing file?", "File already exists"))
        return {};
    return choice.Path;
}
