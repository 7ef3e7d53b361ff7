#include "model/core/rom_journal.h"

#include <utility>

RomJournal::RomJournal(RomFile& file) : file_(file)
{
    file_.SetWriteListener([this](std::int64_t offset, std::span<const std::uint8_t> before,
                                  std::span<const std::uint8_t> after) { Record(offset, before, after); });
}

RomJournal::~RomJournal()
{
    file_.SetWriteListener({});
}

void RomJournal::SetWriteHandler(WriteHandler handler)
{
    handler_ = std::move(handler);
}

void RomJournal::Record(std::int64_t offset, std::span<const std::uint8_t> before, std::span<const std::uint8_t> after)
{
    // The map keeps the first value seen: the one the byte had at the open.
    originals_.Record(offset, before);
    if (handler_)
        handler_(RomWrite{offset, {before.begin(), before.end()}, {after.begin(), after.end()}});
}

std::vector<ByteRange> RangesOf(const std::vector<RomWrite>& writes)
{
    std::vector<ByteRange> ranges;
    ranges.reserve(writes.size());
    for (const RomWrite& write : writes)
        ranges.push_back({write.Offset, static_cast<std::int64_t>(write.After.size())});
    return ranges;
}
