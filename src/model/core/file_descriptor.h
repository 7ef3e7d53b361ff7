#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Descriptor-level file access shared by the ROM file, its rollback journal
// and the program's own small files.

// Opens path with the given access flags (O_RDONLY or O_RDWR) if it names a
// regular file. The open itself never blocks, so a named pipe or a device
// given as a file cannot hang the program. Returns the descriptor, or -1
// with the cause for the user in reason.
int OpenRegularFile(const std::string& path, int accessFlags, std::string& reason);

// Reads up to size bytes at offset of an open descriptor, going on after
// short reads and interruptions; returns how many arrived (fewer at the end
// of the file or on an error).
std::size_t ReadFullyAt(int fd, std::int64_t offset, std::uint8_t* buffer, std::size_t size);

// The text of an errno value, or of "the system wrote nothing" for 0, so a
// message never shows a cause left over from an earlier call.
std::string SystemCause(int error);
