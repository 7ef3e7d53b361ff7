#pragma once

#include <Qt>

#include <optional>
#include <string>

class QMimeData;

// The path of the file a file manager drags: exactly one URL, naming a local
// file that exists. Anything else (text, web links, folders, several files)
// is not something the main window opens.
std::optional<std::string> DroppedFilePath(const QMimeData* data);

// How a dropped file is taken: as a copy, or failing that as a link, never
// as a move, so a file manager offering Move never deletes the user's ROM.
// None when the drag offers neither.
std::optional<Qt::DropAction> FileDropAction(Qt::DropActions offered);
