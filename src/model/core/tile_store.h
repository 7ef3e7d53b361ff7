#pragma once

#include "model/core/rom_write_result.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// One block of bytes to write at an offset.
struct ByteBlock {
    std::int64_t Offset = 0;
    std::vector<std::uint8_t> Bytes;
};

// What a write of several blocks did: how many were written, in order, and
// the first refusal.
struct BlocksWritten {
    int Count = 0;
    RomWriteResult Result;
};

// The bytes tiles are read from and written to: the ROM file itself, or
// the unpacked bytes of a compressed stream in it. Offsets are the store's
// own; a write is all or nothing and never changes the store's length.
class TileStore {
public:
    virtual ~TileStore() = default;

    virtual std::int32_t Length() const = 0;
    // Reads up to size bytes at offset; how many were delivered (fewer at
    // the end, none before offset 0 or past the end).
    virtual std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const = 0;
    virtual RomWriteResult WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size) = 0;
    // Writes the blocks in order and stops at the first refusal; a store
    // may write them all or none (a packed stream packs once for all).
    virtual BlocksWritten WriteBlocks(std::span<const ByteBlock> blocks);
};
