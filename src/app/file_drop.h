#pragma once

#include <optional>
#include <string>

class QMimeData;

// The path of the file a file manager drags: exactly one URL, naming a local
// file that exists. Anything else (text, web links, folders, several files)
// is not something the main window opens.
std::optional<std::string> DroppedFilePath(const QMimeData* data);
