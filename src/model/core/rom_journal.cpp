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

void RomJournal::SetLoneStepHandler(StepHandler handler)
{
    loneHandler_ = std::move(handler);
}

void RomJournal::BeginStep(std::string name)
{
    if (depth_++ == 0)
        open_ = RomStep{std::move(name), {}};
}

void RomJournal::RenameStep(std::string name)
{
    if (depth_ > 0)
        open_.Name = std::move(name);
}

RomStep RomJournal::EndStep()
{
    if (depth_ == 0 || --depth_ > 0)
        return {};
    return std::exchange(open_, RomStep{});
}

void RomJournal::Reset()
{
    originals_.Clear();
    open_ = {};
    depth_ = 0;
}

void RomJournal::Record(std::int64_t offset, std::span<const std::uint8_t> before, std::span<const std::uint8_t> after)
{
    // The map keeps the first value seen: the one the byte had at the open.
    originals_.Record(offset, before);

    RomWrite write{offset, {before.begin(), before.end()}, {after.begin(), after.end()}};
    if (depth_ > 0) {
        open_.Writes.push_back(std::move(write));
        return;
    }
    if (loneHandler_)
        loneHandler_(RomStep{LoneWriteName, {std::move(write)}});
}

void RomJournal::ReserveWrites(std::size_t count)
{
    if (depth_ > 0)
        open_.Writes.reserve(open_.Writes.size() + count);
}

void RomJournal::AddWrites(std::vector<RomWrite> writes)
{
    if (depth_ == 0) {
        if (loneHandler_ && !writes.empty())
            loneHandler_(RomStep{LoneWriteName, std::move(writes)});
        return;
    }
    for (RomWrite& write : writes)
        open_.Writes.push_back(std::move(write));
}

std::vector<ByteRange> RangesOf(const std::vector<RomWrite>& writes)
{
    std::vector<ByteRange> ranges;
    ranges.reserve(writes.size());
    for (const RomWrite& write : writes)
        ranges.push_back({write.Offset, static_cast<std::int64_t>(write.After.size())});
    return ranges;
}
