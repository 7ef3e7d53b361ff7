#pragma once

#include <cstdint>
#include <map>

// For every byte of the ROM changed since the file was opened, its value
// at the open, by file offset. It grows with the bytes changed, never with
// the file's size; a byte written back to its original value may stay in
// it (its current value then equals the original).
using OriginalByteMap = std::map<std::int64_t, std::uint8_t>;
