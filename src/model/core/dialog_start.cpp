#include "model/core/dialog_start.h"

#include <filesystem>
#include <system_error>

namespace {

std::string FolderOf(const std::string& path)
{
    if (path.empty())
        return {};
    // A name without a folder (given on the command line) lies in the
    // current folder.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? std::string() : absolute.parent_path().string();
}

}  // namespace

std::string DialogStartFolder(const std::string& romPath, const std::string& lastChosenPath)
{
    const std::string romFolder = FolderOf(romPath);
    return romFolder.empty() ? FolderOf(lastChosenPath) : romFolder;
}

std::string NameAfterRom(const std::string& romPath, const std::string& extension)
{
    const std::filesystem::path name = std::filesystem::path(romPath).filename();
    if (name.empty())
        return {};
    return name.stem().string() + extension;
}
