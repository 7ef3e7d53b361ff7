#pragma once

#include <cstdint>
#include <string>

// What the user is told when a tile cannot be written.

// Information line text for a tile that does not lie wholly inside the
// file; nothing is written then.
inline std::string TileOutsideFileText(std::int64_t address)
{
    return "The tile at address " + std::to_string(address) + " lies outside the file; nothing was written.";
}

// Why nothing is written into a file that is read-only now: a save, an undo
// or a redo alike.
inline const char* const ReadOnlyFileText = "The opened file is 'read only'.";

// Caption of the message box for a write the system refused (shown once per
// action, with the reason the write gives).
inline const char* const WriteFailedCaption = "Could not write to file";
