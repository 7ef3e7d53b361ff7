#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Whole-file reads and safe writes for the program's own small files
// (palettes, bookmarks, patterns, BMP, C output, configuration).

// The size of a regular file in bytes; nullopt when it does not exist or is
// no regular file.
std::optional<std::int64_t> FileSize(const std::string& path);

// Reads a file whole, but refuses one larger than maxBytes (nullopt, as for
// a file that cannot be read), so a foreign file never makes a huge buffer.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::size_t maxBytes);

// Reads length bytes at offset; fewer at the end of the file; nullopt when
// the file cannot be opened or is no regular file.
std::optional<std::vector<std::uint8_t>> ReadFileRange(const std::string& path, std::int64_t offset,
                                                       std::size_t length);

// Why a save must not go to path, or nullopt when it may: path exists but is
// no regular file (a folder, a named pipe, a device, a socket), or it is a
// symbolic link whose chain loops, leads nowhere or ends at no regular file.
// A missing path may be created. On success target is the file to replace:
// the end of path's links, so that a link survives a save and the file it
// points to gets the new content; otherwise path itself.
std::optional<std::string> ResolveSaveTarget(const std::string& path, std::string& target);

// Writes the bytes to a temporary file in the target's folder and renames it
// over the target (see ResolveSaveTarget), so a failed save never leaves
// half a file and never replaces anything but a regular file. Returns the
// reason on failure.
std::optional<std::string> WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);
