#include "model/core/program_state.h"
#include "model/core/rom_session.h"
#include "model/core/tile_io.h"
#include "model/editor/cell_writes.h"
#include "model/editor/editor_slots.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "model/tools/file_info_report.h"
#include "model/tools/patch_actions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every action that changes ROM bytes outside the editor's own cell, with a
// clean cell (0) and an edited cell (1) over the bytes it changes.
class CellsFollowFile : public ::testing::Test {
public:  // the cases' actions reach the fixture through a reference
    void Open(const Bytes& bytes)
    {
        path_ = dir_.WriteFile("game.gb", bytes);
        ASSERT_TRUE(OpenRomInState(state_, path_).Opened);
        state_.ShowSaveWarning = false;
    }

    // Two copies from the browser and a fill, as the user makes them.
    void LoadCells(std::int32_t address)
    {
        ASSERT_TRUE(
            RecordStep(state_.Recorder, "copy of a tile", [&] { return LoadSlot(state_, dialogs_, address, 0); }));
        ASSERT_TRUE(
            RecordStep(state_.Recorder, "copy of a tile", [&] { return LoadSlot(state_, dialogs_, address + 1, 1); }));
        RecordStep(state_.Recorder, "fill", [&] { FillSlot(state_.EditorSlots, 1, 3); });
        painted_ = state_.EditorSlots[1].Pixels;
    }

    TilePixels FileTile(std::int32_t address) const
    {
        TilePixels pixels{};
        ReadTiles(state_.FileHandle, ModeGameboy, address, 1, pixels.data());
        return pixels;
    }

    // Cell 0 shows the file, cell 1 keeps its paint and its mark.
    void ExpectInStep(std::int32_t address, const std::string& when) const
    {
        EXPECT_EQ(state_.EditorSlots[0].Pixels, FileTile(address)) << when;
        EXPECT_FALSE(state_.EditorSlots[0].Edited) << when;
        EXPECT_EQ(state_.EditorSlots[1].Pixels, painted_) << when;
        EXPECT_TRUE(IsUnsavedTile(state_, 1)) << when;
    }

    TempDir dir_;
    std::string path_;
    ProgramState state_;
    ScriptedDialogs dialogs_;
    TilePixels painted_{};
};

TEST_F(CellsFollowFile, CleanCellsAreReadAgainAndEditedOnesKeepTheirMark)
{
    const std::int32_t header = 0x140;  // the checksum's bytes lie in this tile
    const struct {
        const char* Name;
        std::int32_t Address;
        std::function<void(CellsFollowFile&)> Before;  // before the cells are loaded
        std::function<void(CellsFollowFile&)> Change;
    } cases[] = {
        {"revert", 32,
         [](CellsFollowFile& t) {
             const Bytes bytes(40, 0xEE);
             RecordStep(t.state_.Recorder, "tile write",
                        [&] { return t.state_.FileHandle.WriteAt(30, bytes.data(), bytes.size()); });
         },
         [](CellsFollowFile& t) { EXPECT_FALSE(RevertToOpenedState(t.state_, t.dialogs_).Message); }},
        {"apply patch", 32, nullptr,
         [](CellsFollowFile& t) {
             // IPS: 40 bytes of 0x5A at 30.
             Bytes patch{'P', 'A', 'T', 'C', 'H', 0, 0, 30, 0, 40};
             patch.insert(patch.end(), 40, 0x5A);
             patch.insert(patch.end(), {'E', 'O', 'F'});
             t.dialogs_.QueueFile({t.dir_.WriteFile("change.ips", patch), 1});
             EXPECT_FALSE(ApplyPatchFromFile(t.state_, t.dialogs_).Message);
         }},
        {"drop", 32, nullptr,
         [](CellsFollowFile& t) {
             RecordStep(t.state_.Recorder, "fill", [&] {
                 t.state_.EditorSlots[7] = {UnboundTile, {}, std::nullopt, true};
                 t.state_.EditorSlots[7].Pixels.fill(2);
             });
             RecordStep(t.state_.Recorder, "tile write",
                        [&] { return WriteCellTo(t.state_, t.dialogs_, 7, 32, ModeGameboy); });
         }},
        {"checksum repair", header, nullptr,
         [](CellsFollowFile& t) {
             EditStepScope step(t.state_.Recorder, "checksum repair");
             EXPECT_FALSE(RepairGameBoyChecksum(t.state_.FileHandle, t.state_.FileLength(), [](const auto&) {}));
         }},
    };
    for (const auto& c : cases) {
        ClearAllSlots(state_.EditorSlots);
        Open(RandomBytes(1024, 7));
        if (c.Before)
            c.Before(*this);
        LoadCells(c.Address);
        const TilePixels before = FileTile(c.Address);
        c.Change(*this);
        ASSERT_NE(FileTile(c.Address), before) << c.Name << ": the action changed nothing there";
        ExpectInStep(c.Address, std::string(c.Name) + " done");
        ASSERT_TRUE(state_.History.Undo(state_));
        ExpectInStep(c.Address, std::string(c.Name) + " undone");
        ASSERT_TRUE(state_.History.Redo(state_));
        ExpectInStep(c.Address, std::string(c.Name) + " redone");
    }
}

}  // namespace
