#include "model/core/edit_history.h"
#include "model/core/edit_recorder.h"
#include "core/reference_codec.h"
#include "model/core/rom_session.h"
#include "model/core/tile_io.h"
#include "model/editor/editor_slots.h"
#include "model/editor/recorded_edits.h"
#include "model/palette/color_encoding.h"
#include "model/palette/palette_transfer.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>

// Random editing sessions on a small ROM: every action is recorded as one
// step, and after every action, undo and redo the file and the cells must
// equal a plain reference kept here as whole snapshots with its own undo
// stack.

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int RomLength = 1024;
constexpr int UsedSlots = 12;  // cells the session works on; some share an address

struct Snapshot {
    Bytes File;
    EditorSlotTable Cells{};
    WorkingPaletteTable Palette{};
};

struct ReferenceStep {
    std::string Name;
    Snapshot After;
};

// The reference: the state at the open, the steps made and how many of them
// are done.
struct Reference {
    Snapshot Original;
    std::vector<ReferenceStep> Steps;
    std::size_t Done = 0;

    const Snapshot& Now() const { return Done == 0 ? Original : Steps[Done - 1].After; }
    void Push(std::string name, Snapshot after)
    {
        Steps.resize(Done);
        Steps.push_back({std::move(name), std::move(after)});
        Done = Steps.size();
    }
};

void WriteReference(Bytes& file, std::int64_t address, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), file.begin() + address);
}

struct ActionResult {
    std::string Action;   // what was done, for a failure message
    std::string Problem;  // empty when the program agrees with the reference
};

class Session {
public:
    Session(const TempDir& dir, unsigned seed) : random_(seed)
    {
        InitState(state_);
        state_.ShowSaveWarning = false;
        Bytes content(RomLength);
        for (auto& b : content)
            b = static_cast<std::uint8_t>(random_());
        path_ = dir.WriteFile("session.gb", content);
        if (!OpenRomInState(state_, path_).Opened)
            throw std::runtime_error("cannot open " + path_);
        // Bound cells: slots 0-4 and 5-9 hold the same five tiles, so paints
        // reach twins; slot 10 lies partly past the end, so Save all skips
        // it; slot 11 is a 1bpp tile over the second half of slot 0's, so
        // the order of a Save all's writes shows in the file.
        for (int slot = 0; slot < 10; ++slot)
            Bind(slot, 16 * (slot % 5));
        Bind(10, RomLength - 8);
        state_.CurrentMode = ModeOneBit;
        Bind(11, 8);
        state_.CurrentMode = ModeGameboy;
        // The history starts from the bound cells, as from an opened file.
        state_.Recorder.NewFile();
        ref_.Original = {content, state_.EditorSlots, state_.WorkingPalette};
    }

    // Makes one random action and compares the outcome with the reference.
    ActionResult Act()
    {
        const int kind = Pick(0, 10);
        Snapshot next = ref_.Now();
        const int slot = Pick(0, UsedSlots - 1);
        std::ostringstream said;
        switch (kind) {
        case 0: {
            const int x = Pick(0, 7), y = Pick(0, 7);
            const auto color = static_cast<std::uint8_t>(Pick(0, 3));
            said << "paint " << slot << " " << x << "," << y << " " << int(color);
            RecordStep(state_.Recorder, "paint", [&] { return PaintPixel(state_.EditorSlots, slot, x, y, color); });
            PaintPixel(next.Cells, slot, x, y, color);
            Finish("paint", next, 0);
            break;
        }
        case 1: {
            const auto color = static_cast<std::uint8_t>(Pick(0, 3));
            said << "fill " << slot << " " << int(color);
            RecordStep(state_.Recorder, "fill", [&] { return FillSlot(state_.EditorSlots, slot, color); });
            FillSlot(next.Cells, slot, color);
            Finish("fill", next, 0);
            break;
        }
        case 2: {
            const int other = Pick(0, UsedSlots - 1);
            said << "swap " << slot << " " << other;
            RecordStep(state_.Recorder, "swap", [&] { SwapSlots(state_.EditorSlots, slot, other); });
            std::swap(next.Cells[slot], next.Cells[other]);
            Finish("swap", next, 0);
            break;
        }
        case 3: {
            const int how = Pick(0, 2);
            said << "transform " << how << " of " << slot;
            const auto transform = [&](EditorSlotTable& cells) {
                if (how == 0)
                    FlipTileX(cells[slot].Pixels);
                else if (how == 1)
                    FlipTileY(cells[slot].Pixels);
                else
                    RotateTile(cells[slot].Pixels);
                SyncTwins(cells, slot);
            };
            RecordStep(state_.Recorder, "flip", [&] { transform(state_.EditorSlots); });
            transform(next.Cells);
            Finish("flip", next, 0);
            break;
        }
        case 4: {
            said << "save all";
            int written = 0;
            for (EditorSlot& cell : next.Cells) {
                if (cell.Address < 0)
                    continue;
                const Bytes tile = ReferenceEncode(SaveModeOf(cell, ModeGameboy), cell.Pixels);
                if (cell.Address + static_cast<std::int64_t>(tile.size()) <= RomLength) {
                    WriteReference(next.File, cell.Address, tile);
                    written_.push_back({cell.Address, cell.Address + static_cast<std::int64_t>(tile.size())});
                    cell.Edited = false;
                    ++written;
                }
            }
            const EditReport report = SaveAllCellsAsStep(state_, dialogs_);
            if (report.InfoText != "Saved " + std::to_string(written) + " tiles to file")
                return {said.str(), "said " + report.InfoText.value_or("nothing")};
            Finish("save of " + std::to_string(written) + " tiles", next, written);
            break;
        }
        case 5: {
            const std::uint8_t mode = Pick(0, 1) == 0 ? ModeGameboy : ModeOneBit;
            const Bytes tile = ReferenceEncode(mode, next.Cells[slot].Pixels);
            const std::int64_t address = Pick(-8, RomLength + 8);
            said << "write cell " << slot << " at " << address << " in mode " << int(mode);
            WriteCellToAsStep(state_, dialogs_, slot, address, mode);
            const bool inside = address >= 0 && address + static_cast<std::int64_t>(tile.size()) <= RomLength;
            if (inside) {
                WriteReference(next.File, address, tile);
                written_.push_back({address, address + static_cast<std::int64_t>(tile.size())});
            }
            // Written at its own address in its own mode: it and its twins are saved.
            const EditorSlot written = next.Cells[slot];
            if (inside && address == written.Address && mode == SaveModeOf(written, ModeGameboy))
                for (EditorSlot& cell : next.Cells)
                    if (cell.Address == written.Address)
                        cell.Edited = false;
            Finish("tile write", next, inside ? 1 : 0);
            break;
        }
        case 6: {
            const std::uint8_t encoding = Pick(0, 1) == 0 ? EncodingRgb15 : EncodingBgr15;
            const int count = Pick(1, 8);
            const std::int32_t address = Pick(-4, RomLength);
            said << "export " << count << " colors at " << address;
            RecordStep(state_.Recorder, "palette export", [&] {
                return ExportPalette(state_.FileHandle, address, encoding, count, state_.WorkingPalette);
            });
            const bool inside = address >= 0 && address + 2 * count <= RomLength;
            if (inside)
                written_.push_back({address, address + 2 * count});
            if (inside)
                for (int i = 0; i < count; ++i) {
                    const std::size_t at = static_cast<std::size_t>(address + 2 * i);
                    const auto word = static_cast<std::uint16_t>(RGBToCol(next.Palette[i], encoding) |
                                                                 ((next.File[at + 1] & 0x80) << 8));
                    next.File[at] = static_cast<std::uint8_t>(word);
                    next.File[at + 1] = static_cast<std::uint8_t>(word >> 8);
                }
            Finish("palette export", next, inside ? 1 : 0);
            break;
        }
        case 7: {
            const int entry = Pick(0, 7);
            const PackedColor color = MakePackedColor(Pick(0, 255), Pick(0, 255), Pick(0, 255));
            said << "color " << entry;
            RecordStep(state_.Recorder, "color", [&] { state_.WorkingPalette[entry] = color; });
            next.Palette[entry] = color;
            Finish("color", next, 0);
            break;
        }
        case 8:
        case 9: {
            said << "undo";
            const StepOutcome outcome = state_.History.Undo(state_);
            if (outcome.Done != (ref_.Done > 0))
                return {said.str(), "done " + std::to_string(outcome.Done) + " " + outcome.Reason};
            if (ref_.Done > 0)
                --ref_.Done;
            break;
        }
        default: {
            said << "redo";
            const StepOutcome outcome = state_.History.Redo(state_);
            if (outcome.Done != (ref_.Done < ref_.Steps.size()))
                return {said.str(), "done " + std::to_string(outcome.Done) + " " + outcome.Reason};
            if (ref_.Done < ref_.Steps.size())
                ++ref_.Done;
            break;
        }
        }
        return {said.str(), Differences()};
    }

    // Undoes every step; the file must be the one that was opened.
    std::string UndoAll()
    {
        while (state_.History.CanUndo()) {
            const StepOutcome outcome = state_.History.Undo(state_);
            if (!outcome)
                return "undo refused: " + outcome.Reason;
        }
        if (ReadWholeFile(path_) != ref_.Original.File)
            return "the file differs from the original after undoing everything";
        if (!CellChangesBetween(state_.EditorSlots, ref_.Original.Cells).empty())
            return "the cells differ from the first ones after undoing everything";
        return {};
    }

private:
    // Reads the tile at address into the cell in the current mode and binds
    // the cell to it, as loading a tile from the browser does.
    void Bind(int slot, std::int32_t address)
    {
        state_.EditorSlots[slot].Address = address;
        if (!ReloadSlot(state_, slot, address) || state_.EditorSlots[slot].Mode != state_.CurrentMode)
            throw std::runtime_error("cannot read the tile at " + std::to_string(address));
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // A bound cell without unsaved edits over bytes that were written shows
    // the file again, unless its pixels already encode to those bytes. A
    // tile reaching past the end is read from the file itself: the
    // end-of-file rule has tests of its own.
    void FollowFile(Snapshot& next)
    {
        for (EditorSlot& cell : next.Cells) {
            if (cell.Address < 0 || cell.Edited)
                continue;
            const std::uint8_t mode = SaveModeOf(cell, ModeGameboy);
            const std::int64_t end = cell.Address + StandardModes[mode].BytesPerTile;
            if (std::none_of(written_.begin(), written_.end(),
                             [&](const auto& range) { return range.first < end && range.second > cell.Address; }))
                continue;
            TilePixels inFile{};
            if (end <= RomLength)
                inFile = ReferenceDecode(mode, Bytes(next.File.begin() + cell.Address, next.File.begin() + end));
            else
                ReadTiles(state_.FileHandle, mode, cell.Address, 1, inFile.data());
            if (ReferenceDecode(mode, ReferenceEncode(mode, cell.Pixels)) != inFile)
                cell.Pixels = inFile;
        }
        written_.clear();
    }

    // A step is kept when the action wrote into the file or changed a cell
    // or the palette.
    void Finish(const std::string& name, Snapshot next, int writes)
    {
        FollowFile(next);
        const Snapshot& now = ref_.Now();
        if (writes > 0 || !CellChangesBetween(now.Cells, next.Cells).empty() || now.Palette != next.Palette)
            ref_.Push(name, std::move(next));
    }

    // Empty when the program agrees with the reference; otherwise what differs.
    std::string Differences() const
    {
        const Snapshot& now = ref_.Now();
        const Bytes file = ReadWholeFile(path_);
        if (file.size() != static_cast<std::size_t>(RomLength))
            return "the file is " + std::to_string(file.size()) + " bytes long";
        if (file != now.File)
            return "file bytes differ";
        if (!CellChangesBetween(state_.EditorSlots, now.Cells).empty())
            return "cells differ";
        if (state_.WorkingPalette != now.Palette)
            return "palette differs";
        if (state_.History.Size() != ref_.Steps.size() || state_.History.Position() != ref_.Done)
            return "history at " + std::to_string(state_.History.Position()) + " of " +
                   std::to_string(state_.History.Size()) + ", reference at " + std::to_string(ref_.Done) + " of " +
                   std::to_string(ref_.Steps.size());
        const std::string undo = ref_.Done > 0 ? "Undo " + ref_.Steps[ref_.Done - 1].Name : "";
        const std::string redo = ref_.Done < ref_.Steps.size() ? "Redo " + ref_.Steps[ref_.Done].Name : "";
        if (state_.History.UndoText() != undo || state_.History.RedoText() != redo)
            return "texts '" + state_.History.UndoText() + "' / '" + state_.History.RedoText() + "', expected '" +
                   undo + "' / '" + redo + "'";
        for (const auto& [offset, value] : state_.Recorder.Journal().OriginalBytes())
            if (ref_.Original.File[static_cast<std::size_t>(offset)] != value)
                return "original byte at " + std::to_string(offset) + " is wrong";
        return {};
    }

    std::mt19937 random_;
    std::string path_;
    ProgramState state_;
    ScriptedDialogs dialogs_;
    Reference ref_;
    std::vector<std::pair<std::int64_t, std::int64_t>> written_;  // [from, to) written by the action
};

int SequenceCount()
{
    // The long CTest variant asks for more.
    const char* wanted = std::getenv("BRIXEL_SESSION_SEQUENCES");
    return wanted != nullptr ? std::atoi(wanted) : 1000;
}

TEST(EditSession, RandomActionsUndoAndRedoLikeTheReference)
{
    TempDir dir;
    const int sequences = SequenceCount();
    for (int sequence = 0; sequence < sequences; ++sequence) {
        const unsigned seed = 0x5EED0000u + static_cast<unsigned>(sequence);
        Session session(dir, seed);
        const int actions = 10 + static_cast<int>(seed % 31);
        for (int step = 0; step < actions; ++step) {
            const ActionResult result = session.Act();
            if (!result.Problem.empty())
                FAIL() << "seed " << seed << ", action " << step << " (" << result.Action << "): " << result.Problem;
        }
        const std::string problem = session.UndoAll();
        if (!problem.empty())
            FAIL() << "seed " << seed << ", undoing everything: " << problem;
    }
}

}  // namespace
