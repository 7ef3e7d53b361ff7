// A compressed stream shown as if it were the file: writes pack the stream
// again into its place as one undoable ROM write, never past its room, and
// cells keep the bytes their address counts in.
#include "model/codec/shown_stream.h"
#include "model/codec/stream_codecs.h"
#include "model/core/edit_recorder.h"
#include "model/core/rom_session.h"
#include "model/editor/cell_writes.h"
#include "model/editor/editor_slots.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/tile_like_data.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t StreamAt = 0x100;

struct StreamRom : ::testing::Test {
    TempDir Dir;
    ProgramState State;
    ScriptedDialogs Dialogs;
    Bytes Original;
    Bytes Unpacked = TileLikeData(4096, 9);
    std::size_t Packed = 0;

    void SetUp() override
    {
        const int lz77 = StreamCodecIndex("lz77");
        ASSERT_GE(lz77, 0);
        Original = RandomBytes(16384, 5);
        const PackResult stream = StreamCodecs()[static_cast<std::size_t>(lz77)]->Pack(Unpacked, {});
        Packed = stream.Bytes.size();
        std::copy(stream.Bytes.begin(), stream.Bytes.end(), Original.begin() + StreamAt);
        ASSERT_TRUE(OpenRomInState(State, Dir.WriteFile("rom.gba", Original)).Opened);
        ASSERT_EQ(ShowStream(State, lz77, StreamAt), std::nullopt);
        State.CurrentMode = ModeGba4bpp;
        State.ShowSaveWarning = false;
    }
    Bytes File() const { return ReadWholeFile(State.FileName()); }
    EditReport SaveAll()
    {
        return RecordStep(State.Recorder, "save all", [&] { return SaveAllCells(State, Dialogs); });
    }
};

TEST_F(StreamRom, SaveAllPacksTheStreamInPlaceAndUndoPutsBackEveryByte)
{
    StreamRom& rom = *this;
    ASSERT_EQ(rom.State.TilesLength(), 4096);
    ASSERT_EQ(ShownStreamCaption(rom.State), "LZ77 at 0x100, 4096 bytes unpacked");
    RecordStep(rom.State.Recorder, "load", [&] { return LoadSlot(rom.State, rom.Dialogs, 64, 0); });
    RecordStep(rom.State.Recorder, "paint", [&] { return PaintPixel(rom.State.EditorSlots, 0, 3, 4, 7); });
    rom.SaveAll();

    // What an unpack, an edit and a pack of our own make.
    Bytes edited = rom.Unpacked;
    edited[64 + 4 * 4 + 1] = static_cast<std::uint8_t>((edited[64 + 4 * 4 + 1] & 0x0F) | 0x70);
    const PackResult expected = StreamCodecNamed("lz77")->Pack(edited, {});
    Bytes after = rom.Original;
    std::copy(expected.Bytes.begin(), expected.Bytes.end(), after.begin() + StreamAt);
    ASSERT_LE(expected.Bytes.size(), rom.Packed);
    EXPECT_EQ(rom.File(), after);
    EXPECT_FALSE(IsUnsavedTile(rom.State, 0));

    ASSERT_TRUE(rom.State.History.Undo(rom.State));
    EXPECT_EQ(rom.File(), rom.Original);
    Bytes shown(4096);
    EXPECT_EQ(rom.State.Tiles().ReadAt(0, shown.data(), shown.size()), 4096u);
    EXPECT_EQ(shown, rom.Unpacked);
}

TEST_F(StreamRom, AStreamThatNoLongerFitsItsRoomIsRefusedWithBothSizesAndNothingChanges)
{
    StreamRom& rom = *this;
    const Bytes noise = RandomBytes(4096, 11);
    const RomWriteResult refused = rom.State.Tiles().WriteAt(0, noise.data(), noise.size());
    EXPECT_EQ(refused.Status, RomWriteStatus::NoRoom);
    const std::size_t wanted = StreamCodecNamed("lz77")->Pack(noise, {}).Bytes.size();
    EXPECT_EQ(refused.Reason, "The packed LZ77 stream at 0x100 would take " + std::to_string(wanted) +
                                  " bytes, but its room holds " + std::to_string(rom.Packed) +
                                  " bytes; nothing was written.");
    EXPECT_EQ(rom.File(), rom.Original);
}

TEST_F(StreamRom, CellsOfAStreamAreNeitherUnsavedNorWrittenWhileTheFileIsShown)
{
    StreamRom& rom = *this;
    RecordStep(rom.State.Recorder, "load", [&] { return LoadSlot(rom.State, rom.Dialogs, 0, 0); });
    RecordStep(rom.State.Recorder, "paint", [&] { return PaintPixel(rom.State.EditorSlots, 0, 0, 0, 9); });
    ASSERT_TRUE(IsUnsavedTile(rom.State, 0));
    ShowFile(rom.State);
    EXPECT_EQ(rom.State.BrowserAddress, StreamAt);
    EXPECT_FALSE(IsUnsavedTile(rom.State, 0));
    EXPECT_EQ(rom.SaveAll().InfoText, "Saved 0 tiles to file");
    EXPECT_EQ(rom.File(), rom.Original);
    // The same address in the file is another tile, not a twin of the cell.
    RecordStep(rom.State.Recorder, "load", [&] { return LoadSlot(rom.State, rom.Dialogs, 0, 1); });
    EXPECT_EQ(SlotsSharingAddress(rom.State.EditorSlots, 1), std::vector<int>{1});
}

}  // namespace
