#include "model/tools/patch_writes.h"

#include "model/core/rom_file.h"

#include <algorithm>

bool PatchWriteCollector::Add(std::int64_t offset, const std::uint8_t* bytes, std::size_t size)
{
    for (std::size_t done = 0; done < size;) {
        const std::size_t part = std::min(size - done, PatchBlockSize);
        const std::int64_t at = offset + static_cast<std::int64_t>(done);
        current_.resize(part);
        if (file_.ReadAt(at, current_.data(), part) != part)
            return false;
        for (std::size_t i = 0; i < part; ++i) {
            const std::uint8_t patched = bytes[done + i];
            if (patched == current_[i])
                continue;
            const std::int64_t position = at + static_cast<std::int64_t>(i);
            if (writes_.empty() ||
                writes_.back().Offset + static_cast<std::int64_t>(writes_.back().Bytes.size()) != position)
                writes_.push_back({position, {}});
            writes_.back().Bytes.push_back(patched);
        }
        done += part;
    }
    return true;
}

bool PatchWriteCollector::ReadPatched(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const
{
    if (file_.ReadAt(offset, buffer, size) != size)
        return false;
    const std::int64_t end = offset + static_cast<std::int64_t>(size);
    // The first write that ends after offset; the writes are ascending.
    auto it = std::upper_bound(writes_.begin(), writes_.end(), offset,
                               [](std::int64_t at, const PatchWrite& w) { return at < w.Offset; });
    if (it != writes_.begin())
        --it;
    for (; it != writes_.end() && it->Offset < end; ++it) {
        const std::int64_t from = std::max(offset, it->Offset);
        const std::int64_t to = std::min(end, it->Offset + static_cast<std::int64_t>(it->Bytes.size()));
        if (from < to)
            std::copy(it->Bytes.begin() + (from - it->Offset), it->Bytes.begin() + (to - it->Offset),
                      buffer + (from - offset));
    }
    return true;
}
