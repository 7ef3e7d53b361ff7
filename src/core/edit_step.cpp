#include "core/edit_step.h"

#include <algorithm>
#include <numeric>

namespace {

const std::vector<std::uint8_t>& Side(const RomWrite& write, bool before)
{
    return before ? write.Before : write.After;
}

// Writes the chosen side of writes[order[0]], writes[order[1]], ... without
// telling the file's listener. When one is refused, the ones already made
// get their other side back, last first, and the refusal's reason is
// returned; empty when all were written.
std::string WriteSides(RomFile& file, const std::vector<RomWrite>& writes, const std::vector<std::size_t>& order,
                       bool before)
{
    RomFile::UntoldWrites untold(file);
    for (std::size_t done = 0; done < order.size(); ++done) {
        const RomWrite& write = writes[order[done]];
        const auto& bytes = Side(write, before);
        RomWriteResult result = file.WriteAt(write.Offset, bytes.data(), bytes.size());
        if (result)
            continue;
        std::string reason = std::move(result.Reason);
        for (std::size_t back = done; back-- > 0;) {
            const RomWrite& made = writes[order[back]];
            const auto& old = Side(made, !before);
            const RomWriteResult restored = file.WriteAt(made.Offset, old.data(), old.size());
            if (!restored) {
                reason += " Putting back the bytes changed before it failed as well: " + restored.Reason;
                break;
            }
        }
        return reason;
    }
    return {};
}

std::vector<std::size_t> WriteOrder(std::size_t count, bool lastFirst)
{
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (lastFirst)
        std::reverse(order.begin(), order.end());
    return order;
}

StepOutcome Apply(const EditStep& step, Document& document, bool undo)
{
    StepOutcome outcome;
    if (!step.Writes.empty()) {
        outcome.Reason = WriteSides(document.FileHandle, step.Writes, WriteOrder(step.Writes.size(), undo), undo);
        if (!outcome.Reason.empty())
            return outcome;
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
    outcome.Done = true;
    return outcome;
}

bool SameCell(const EditorSlot& a, const EditorSlot& b)
{
    return a.Address == b.Address && a.Pixels == b.Pixels && a.Mode == b.Mode && a.Edited == b.Edited;
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
        if (!SameCell(before[slot], after[slot]))
            changes.push_back({slot, before[slot], after[slot]});
    return changes;
}
