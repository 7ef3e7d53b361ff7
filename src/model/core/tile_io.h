#pragma once

#include "model/core/tile_store.h"

#include <array>
#include <cstdint>

// Reads `count` consecutive tiles of `mode` starting at file address
// `address` and decodes them into destination[0 .. count*64 - 1]; other
// entries are left alone. The run is read with one positional read.
//
// Bytes the file does not deliver (before offset 0, at or past the end, or
// with no file open) take the last value that passed through the same row
// buffer position during this call, or 0 when none did: a tile whose data
// stops after row 2 repeats row 2, and a run that starts past the end is all
// 0. A count of 0 or less changes nothing.
void ReadTiles(const TileStore& handle, std::uint8_t mode, std::int32_t address, int count, std::uint8_t* destination);

// Encodes 64 pixels in `mode` and writes them at `address` with one
// positional write, all or nothing (RomFile::WriteAt): the block must lie
// wholly inside the file, which must be open for writing and still be the
// file that was opened. The file's length never changes. The result is true
// only when the whole block was written.
RomWriteResult WriteTile(TileStore& handle, std::uint8_t mode, std::int32_t address,
                         const std::array<std::uint8_t, 64>& pixels);
