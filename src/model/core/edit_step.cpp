#include "model/core/edit_step.h"

#include "model/core/write_messages.h"

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

namespace {

std::function<void()>& AllocationProbe()
{
    static std::function<void()> probe;
    return probe;
}

const std::vector<std::uint8_t>& Side(const RomWrite& write, bool before)
{
    return before ? write.Before : write.After;
}

// One block of a write; a write of no bytes has none.
std::size_t BlockCount(const std::vector<std::uint8_t>& bytes)
{
    return (bytes.size() + WriteBlockSize - 1) / WriteBlockSize;
}

// Writes block `block` of bytes; the reason when refused or when memory ran
// out (the file reads the bytes it replaces first), else empty.
std::string WriteBlock(RomFile& file, std::int64_t offset, const std::vector<std::uint8_t>& bytes, std::size_t block)
{
    const std::size_t from = block * WriteBlockSize;
    const std::size_t size = std::min(WriteBlockSize, bytes.size() - from);
    try {
        RomWriteResult result = file.WriteAt(offset + static_cast<std::int64_t>(from), bytes.data() + from, size);
        return result ? std::string() : std::move(result.Reason);
    } catch (const std::bad_alloc&) {
        return "Writing to the file '" + file.Path() + "' needed more memory than is free; that block was not written.";
    }
}

// Writes the Before side (undo) or the After side of writes; which write
// comes at a position depends on the direction.
class SideWriter {
public:
    SideWriter(RomFile& file, const std::vector<RomWrite>& writes, bool undo)
        : file_(file), writes_(writes), undo_(undo)
    {
    }

    StepWriteResult Run()
    {
        for (std::size_t position = 0; position < writes_.size(); ++position) {
            const RomWrite& write = At(position);
            const auto& bytes = Side(write, undo_);
            for (std::size_t block = 0; block < BlockCount(bytes); ++block) {
                std::string reason = WriteBlock(file_, write.Offset, bytes, block);
                if (!reason.empty())
                    return PutBack(std::move(reason), position, block);
            }
        }
        return {};
    }

private:
    const RomWrite& At(std::size_t position) const { return writes_[undo_ ? writes_.size() - 1 - position : position]; }

    // Writes the other side of every block before (position, block), last
    // first.
    StepWriteResult PutBack(std::string reason, std::size_t position, std::size_t block)
    {
        StepWriteResult result{std::move(reason), true};
        for (std::size_t back = position + 1; back-- > 0;) {
            const RomWrite& write = At(back);
            const auto& old = Side(write, !undo_);
            for (std::size_t b = back == position ? block : BlockCount(old); b-- > 0;) {
                const std::string failed = WriteBlock(file_, write.Offset, old, b);
                if (!failed.empty()) {
                    result.Failure += " Putting back the bytes changed before it failed as well: " + failed;
                    result.Restored = false;
                    return result;
                }
            }
        }
        return result;
    }

    RomFile& file_;
    const std::vector<RomWrite>& writes_;
    bool undo_;
};

// The list with one side of its change in it; nullopt without a change.
template <class List, class Change>
std::optional<List> SideOf(const List& list, const std::optional<Change>& change, bool undo)
{
    if (!change)
        return std::nullopt;
    std::optional<List> side(list);
    PutSide(*side, *change, undo);
    return side;
}

template <class List> bool MoveInto(List& list, std::optional<List>& side)
{
    if (!side)
        return false;
    list = std::move(*side);
    return true;
}

StepOutcome Apply(const EditStep& step, Document& document, bool undo)
{
    StepOutcome outcome;
    // The same rule as for any new write: a file made read-only since it
    // was opened is left alone, although the open descriptor could write.
    if (!step.Writes.empty() && RomFile::IsReadOnly(document.FileHandle.Path())) {
        outcome.Reason = ReadOnlyFileText;
        return outcome;
    }
    // Room for the cells and the lists as they will be first: after the
    // writes nothing may fail.
    std::optional<ColorSetList> sets;
    std::optional<PatternList> patterns;
    std::optional<BookmarkList> bookmarks;
    try {
        BeforeAllocating();
        outcome.ChangedCells.reserve(step.Cells.size());
        sets = SideOf(document.Sets, step.Sets, undo);
        patterns = SideOf(document.Patterns, step.Patterns, undo);
        bookmarks = SideOf(document.Bookmarks, step.Bookmarks, undo);
    } catch (const std::bad_alloc&) {
        outcome.Reason = OutOfMemoryText(document.FileHandle.Path());
        return outcome;
    }
    if (!step.Writes.empty()) {
        StepWriteResult written = WriteSides(document.FileHandle, step.Writes, undo);
        if (!written) {
            outcome.Reason = std::move(written.Failure);
            return outcome;
        }
        outcome.RomChanged = true;
    }
    for (const CellChange& change : step.Cells) {
        document.EditorSlots[change.Slot] = undo ? change.Before : change.After;
        outcome.ChangedCells.push_back(change.Slot);
    }
    if (step.Palette) {
        document.WorkingPalette = undo ? step.Palette->Before : step.Palette->After;
        outcome.PaletteChanged = true;
    }
    outcome.SetsChanged = MoveInto(document.Sets, sets);
    outcome.PatternsChanged = MoveInto(document.Patterns, patterns);
    outcome.BookmarksChanged = MoveInto(document.Bookmarks, bookmarks);
    outcome.Done = true;
    return outcome;
}

}  // namespace

StepOutcome EditStep::Undo(Document& document) const
{
    return Apply(*this, document, true);
}

StepOutcome EditStep::Redo(Document& document) const
{
    return Apply(*this, document, false);
}

std::vector<CellChange> CellChangesBetween(const EditorSlotTable& before, const EditorSlotTable& after)
{
    std::vector<CellChange> changes;
    for (int slot = 0; slot < EditorSlotCount; ++slot)
        if (before[slot] != after[slot])
            changes.push_back({slot, before[slot], after[slot]});
    return changes;
}

StepWriteResult WriteSides(RomFile& file, const std::vector<RomWrite>& writes, bool undo)
{
    RomFile::UntoldWrites untold(file);
    // One rollback journal for the whole side, synced once: a crash halfway
    // leaves the file as it was before.
    std::optional<RomFile::WriteGroup> group;
    try {
        group.emplace(file, RangesOf(writes));
    } catch (const std::bad_alloc&) {
        return {OutOfMemoryText(file.Path()), true};
    }
    return SideWriter(file, writes, undo).Run();
}

std::string OutOfMemoryText(const std::string& path)
{
    return "There is not enough free memory to prepare the changes to the file '" + path + "', so nothing was written.";
}

void SetAllocationProbeForTesting(std::function<void()> probe)
{
    AllocationProbe() = std::move(probe);
}

void BeforeAllocating()
{
    if (AllocationProbe())
        AllocationProbe()();
}
