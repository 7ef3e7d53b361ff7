#include "model/core/loaded.h"

#include "model/core/file_io.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

const UserMessage FileMissingMessage{"Could not find the selected file.", "Loading process aborted", MsgIcon::None};
const UserMessage FileUnreadableMessage{"Could not read the selected file.", "Loading process aborted",
                                        MsgIcon::Critical};

Loaded<FileBytes> LoadFileBytes(const std::string& path, const FileLoadRule& rule)
{
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error))
        return Refused<FileBytes>(FileMissingMessage);
    const auto size = FileSize(path);
    if (!size)
        return Refused<FileBytes>(rule.OnlyRegularFilesExist ? FileMissingMessage : FileUnreadableMessage);
    if (rule.RefuseSize) {
        if (auto refusal = rule.RefuseSize(*size))
            return Refused<FileBytes>(std::move(*refusal));
    }
    const auto length = std::min<std::uint64_t>(static_cast<std::uint64_t>(*size), rule.ReadLimit);
    auto bytes = ReadFileRange(path, 0, static_cast<std::size_t>(length));
    if (!bytes)
        return Refused<FileBytes>(FileUnreadableMessage);
    Loaded<FileBytes> load{};
    load.Bytes = std::move(*bytes);
    return load;
}
