#pragma once

#include "model/core/tile_store.h"

#include <algorithm>
#include <vector>

// Bytes in memory as a read-only store that counts its reads.
class MemoryStore : public TileStore {
public:
    explicit MemoryStore(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::int32_t Length() const override { return static_cast<std::int32_t>(bytes_.size()); }
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const override
    {
        ++Reads;
        if (offset < 0 || offset >= Length())
            return 0;
        const std::size_t count = std::min(size, bytes_.size() - static_cast<std::size_t>(offset));
        std::copy_n(bytes_.begin() + offset, count, buffer);
        return count;
    }
    RomWriteResult WriteAt(std::int64_t, const std::uint8_t*, std::size_t) override
    {
        return {RomWriteStatus::NotWritable, "read only"};
    }

    mutable int Reads = 0;

private:
    std::vector<std::uint8_t> bytes_;
};
