#pragma once

#include "model/core/dialogs.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What a file load gives: the content a reader found and, when it refused
// the file, the message for the user (the content then holds nothing read).
// Content is a struct of named fields, so callers read load.Sets or
// load.Marks beside load.Error.
template <typename Content> struct Loaded : Content {
    std::optional<UserMessage> Error;
};

// A refusal: nothing read, only the message.
template <typename Content> Loaded<Content> Refused(UserMessage message)
{
    Loaded<Content> load{};
    load.Error = std::move(message);
    return load;
}

// What every loader says about a name that names nothing, and about a file
// it cannot read (a folder, no permission, a read that fails).
extern const UserMessage FileMissingMessage;
extern const UserMessage FileUnreadableMessage;

struct FileBytes {
    std::vector<std::uint8_t> Bytes;
};

// How a loader reads its file.
struct FileLoadRule {
    // Only this many bytes from the start are read, so a huge foreign file
    // never makes a huge buffer.
    std::size_t ReadLimit = 0;
    // Refuses a file by its size alone, before anything is read (a format of
    // one size, a file above what the loader takes); nullptr takes any size.
    std::optional<UserMessage> (*RefuseSize)(std::int64_t size) = nullptr;
    // A name that exists but is no regular file (a folder, a pipe) counts as
    // missing instead of unreadable.
    bool OnlyRegularFilesExist = false;
};

// Reads the first bytes of a file for a loader: an empty or missing name
// gives FileMissingMessage, an entry that is no regular file or a failed
// read FileUnreadableMessage, a size the rule refuses its message.
Loaded<FileBytes> LoadFileBytes(const std::string& path, const FileLoadRule& rule);
