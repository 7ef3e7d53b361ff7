#include "model/core/document.h"
#include "model/core/edit_history.h"
#include "model/core/edit_recorder.h"
#include "model/core/program_state.h"
#include "model/core/step_guard.h"
#include "model/editor/pattern_edits.h"
#include "model/palette/color_set_edits.h"
#include "model/palette/color_sets.h"
#include "model/tools/bookmark_edits.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <random>
#include <type_traits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

class History : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = dir_.WriteFile("game.gb", CountingBytes(64));
        ASSERT_TRUE(doc_.FileHandle.Open(path_).Opened());
    }

    void Write(std::int64_t offset, const Bytes& bytes)
    {
        ASSERT_TRUE(doc_.FileHandle.WriteAt(offset, bytes.data(), bytes.size()));
    }

    // Three writes in one step: 0-1, 10, and 0 again over the first.
    void MakeThreeWriteStep()
    {
        EditStepScope step(recorder_, "save of 3 tiles");
        Write(0, {0xA0, 0xA1});
        Write(10, {0xAA});
        Write(0, {0xB0});
    }

    Bytes AfterThreeWrites() const
    {
        Bytes bytes = CountingBytes(64);
        bytes[0] = 0xB0;
        bytes[1] = 0xA1;
        bytes[10] = 0xAA;
        return bytes;
    }

    TempDir dir_;
    std::string path_;
    Document doc_;
    EditHistory history_;
    EditRecorder recorder_{doc_, history_};
};

TEST_F(History, UndoAndRedoOfARomStepPutBackTheExactBytes)
{
    EXPECT_EQ(history_.UndoText(), "");
    EXPECT_EQ(history_.RedoText(), "");
    MakeThreeWriteStep();
    ASSERT_EQ(history_.Size(), 1u);
    EXPECT_EQ(history_.UndoText(), "Undo save of 3 tiles");
    EXPECT_EQ(ReadWholeFile(path_), AfterThreeWrites());

    const StepOutcome undone = history_.Undo(doc_);
    EXPECT_TRUE(undone.Done);
    EXPECT_TRUE(undone.RomChanged);
    EXPECT_TRUE(undone.ChangedCells.empty());
    EXPECT_EQ(ReadWholeFile(path_), CountingBytes(64));
    EXPECT_EQ(history_.UndoText(), "");
    EXPECT_EQ(history_.RedoText(), "Redo save of 3 tiles");
    // Putting bytes back is not a new step.
    EXPECT_EQ(history_.Size(), 1u);
    EXPECT_EQ(recorder_.Journal().OriginalBytes(), (OriginalByteMap{{0, 0}, {1, 1}, {10, 10}}));

    EXPECT_TRUE(history_.Redo(doc_).Done);
    EXPECT_EQ(ReadWholeFile(path_), AfterThreeWrites());
    EXPECT_EQ(history_.Size(), 1u);
    EXPECT_FALSE(history_.Redo(doc_).Done);  // nothing left to redo
    EXPECT_TRUE(history_.Redo(doc_).Reason.empty());
}

TEST_F(History, GroupsTheWritesOfOneStepAndMakesALoneWriteItsOwnStep)
{
    recorder_.BeginStep("save");
    Write(8, {0xEE, 0xEF});
    recorder_.BeginStep("inner");  // joins the open step
    Write(0, {0xFF});
    recorder_.EndStep();
    EXPECT_EQ(history_.Size(), 0u);
    recorder_.RenameStep("save of 2 tiles");
    EXPECT_EQ(recorder_.OpenStepWrites(), 2u);
    recorder_.EndStep();
    EXPECT_FALSE(recorder_.StepOpen());

    ASSERT_EQ(history_.Size(), 1u);
    const EditStep& step = history_.StepAt(0);
    EXPECT_EQ(step.Name, "save of 2 tiles");
    ASSERT_EQ(step.Writes.size(), 2u);
    EXPECT_EQ(step.Writes[0].Offset, 8);
    EXPECT_EQ(step.Writes[0].Before, (Bytes{8, 9}));
    EXPECT_EQ(step.Writes[0].After, (Bytes{0xEE, 0xEF}));
    EXPECT_EQ(step.Writes[1].Offset, 0);

    Write(30, {0x11});
    ASSERT_EQ(history_.Size(), 2u);
    EXPECT_EQ(history_.StepAt(1).Name, "file write");
    ASSERT_EQ(history_.StepAt(1).Writes.size(), 1u);
    EXPECT_EQ(history_.StepAt(1).Writes[0].Before, (Bytes{30}));

    // An extra EndStep is harmless and a step without writes is not kept.
    recorder_.EndStep();
    recorder_.BeginStep("nothing");
    recorder_.EndStep();
    EXPECT_EQ(history_.Size(), 2u);
}

TEST_F(History, ACellStepKeepsOnlyTheChangedCellsAndThePaletteWhenItChanged)
{
    doc_.EditorSlots[7].Address = 32;
    const EditorSlotTable cellsBefore = doc_.EditorSlots;
    {
        EditStepScope step(recorder_, "paint");
        doc_.EditorSlots[7].Pixels[9] = 3;
        doc_.EditorSlots[200].Address = UnboundTile;
    }
    ASSERT_EQ(history_.Size(), 1u);
    const EditStep& paint = history_.StepAt(0);
    ASSERT_EQ(paint.Cells.size(), 2u);
    EXPECT_EQ(paint.Cells[0].Slot, 7);
    EXPECT_EQ(paint.Cells[1].Slot, 200);
    EXPECT_FALSE(paint.Palette);
    EXPECT_TRUE(paint.Writes.empty());

    const WorkingPaletteTable paletteBefore = doc_.WorkingPalette;
    {
        EditStepScope step(recorder_, "palette load");
        doc_.WorkingPalette[255] = MakePackedColor(1, 2, 3);
    }
    ASSERT_EQ(history_.Size(), 2u);
    EXPECT_TRUE(history_.StepAt(1).Cells.empty());
    ASSERT_TRUE(history_.StepAt(1).Palette);
    const EditorSlotTable cellsAfter = doc_.EditorSlots;
    const WorkingPaletteTable paletteAfter = doc_.WorkingPalette;

    StepOutcome outcome = history_.Undo(doc_);
    EXPECT_TRUE(outcome.PaletteChanged);
    EXPECT_FALSE(outcome.RomChanged);
    EXPECT_EQ(doc_.WorkingPalette, paletteBefore);
    outcome = history_.Undo(doc_);
    EXPECT_EQ(outcome.ChangedCells, (std::vector<int>{7, 200}));
    EXPECT_FALSE(outcome.PaletteChanged);
    EXPECT_TRUE(CellChangesBetween(doc_.EditorSlots, cellsBefore).empty());

    history_.Redo(doc_);
    history_.Redo(doc_);
    EXPECT_TRUE(CellChangesBetween(doc_.EditorSlots, cellsAfter).empty());
    EXPECT_EQ(doc_.WorkingPalette, paletteAfter);

    // A step that changed nothing is not kept; nor is a cell only read in
    // another mode than it had counted as unchanged.
    {
        EditStepScope step(recorder_, "nothing");
    }
    EXPECT_EQ(history_.Size(), 2u);
    {
        EditStepScope step(recorder_, "mode");
        doc_.EditorSlots[7].Mode = ModeNes;
    }
    EXPECT_EQ(history_.Size(), 3u);
}

TEST_F(History, ANewStepAfterUndosDropsTheRedoPartAndClearStartsOver)
{
    Write(0, {0x01});  // lone writes are steps of their own
    Write(1, {0x02});
    Write(2, {0x03});
    ASSERT_EQ(history_.Size(), 3u);
    EXPECT_EQ(history_.UndoText(), "Undo file write");
    history_.Undo(doc_);
    history_.Undo(doc_);
    EXPECT_EQ(history_.Position(), 1u);
    {
        EditStepScope step(recorder_, "fill");
        doc_.EditorSlots[0].Pixels.fill(2);
    }
    EXPECT_EQ(history_.Size(), 2u);
    EXPECT_EQ(history_.RedoText(), "");
    EXPECT_EQ(history_.UndoText(), "Undo fill");
    Bytes expected = CountingBytes(64);
    expected[0] = 0x01;
    EXPECT_EQ(ReadWholeFile(path_), expected);

    recorder_.NewFile();
    EXPECT_EQ(history_.Size(), 0u);
    EXPECT_EQ(history_.UndoText(), "");
    EXPECT_FALSE(history_.Undo(doc_).Done);
    EXPECT_TRUE(recorder_.Journal().OriginalBytes().Empty());
}

TEST_F(History, ARefusedUndoLeavesFileAndHistoryAsTheyWere)
{
    MakeThreeWriteStep();
    // Another program replaces the file; the open one lives on as moved.gb.
    const std::string moved = (dir_.Path() / "moved.gb").string();
    ASSERT_EQ(::link(path_.c_str(), moved.c_str()), 0);
    const std::string replacement = dir_.WriteFile("new.gb", Bytes(64, 0x55));
    ASSERT_EQ(::rename(replacement.c_str(), path_.c_str()), 0);

    const StepOutcome outcome = history_.Undo(doc_);
    EXPECT_FALSE(outcome.Done);
    EXPECT_FALSE(outcome.RomChanged);
    EXPECT_EQ(outcome.Reason, "The file '" + path_ +
                                  "' was changed, moved or deleted outside Brixel, so nothing was written. Open it "
                                  "again to go on.");
    EXPECT_EQ(history_.Position(), 1u);
    EXPECT_EQ(history_.UndoText(), "Undo save of 3 tiles");
    EXPECT_EQ(ReadWholeFile(moved), AfterThreeWrites());
    EXPECT_EQ(ReadWholeFile(path_), Bytes(64, 0x55));
}

TEST_F(History, AWriteRefusedHalfwayPutsBackTheWritesAlreadyUndone)
{
    doc_.EditorSlots[3].Pixels[0] = 1;  // before the step, which has no cells; they stay
    MakeThreeWriteStep();
    int calls = 0;
    // Undo writes 0, then 10, then 0-1: the second one finds the disk full.
    doc_.FileHandle.SetWriterForTesting([&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (++calls == 2) {
            errno = ENOSPC;
            return -1;
        }
        return ::pwrite(fd, data, size, offset);
    });
    const StepOutcome undo = history_.Undo(doc_);
    EXPECT_FALSE(undo.Done);
    EXPECT_EQ(undo.Reason, "Writing to the file '" + path_ +
                               "' failed (No space left on device); the file keeps its old bytes there.");
    EXPECT_EQ(ReadWholeFile(path_), AfterThreeWrites());
    EXPECT_EQ(history_.Position(), 1u);
    EXPECT_EQ(history_.Size(), 1u);

    // Once the disk has room the same undo goes through.
    doc_.FileHandle.SetWriterForTesting({});
    ASSERT_TRUE(history_.Undo(doc_).Done);
    EXPECT_EQ(ReadWholeFile(path_), CountingBytes(64));

    // Redo writes 0-1, 10, 0: the third is refused, the first two go back.
    calls = 0;
    doc_.FileHandle.SetWriterForTesting([&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (++calls == 3) {
            errno = EIO;
            return -1;
        }
        return ::pwrite(fd, data, size, offset);
    });
    EXPECT_FALSE(history_.Redo(doc_).Done);
    EXPECT_EQ(ReadWholeFile(path_), CountingBytes(64));
    EXPECT_EQ(history_.RedoText(), "Redo save of 3 tiles");
    EXPECT_EQ(doc_.EditorSlots[3].Pixels[0], 1);
}

TEST_F(History, AFailedPutBackIsSaidAfterTheRefusal)
{
    MakeThreeWriteStep();
    int calls = 0;
    // The first undo write goes through, every later one fails.
    doc_.FileHandle.SetWriterForTesting([&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (++calls == 1)
            return ::pwrite(fd, data, size, offset);
        errno = EIO;
        return -1;
    });
    const StepOutcome undo = history_.Undo(doc_);
    EXPECT_FALSE(undo.Done);
    // Nothing of either failed write reached the file, so neither says "may be damaged".
    const std::string refused =
        "Writing to the file '" + path_ + "' failed (Input/output error); the file keeps its old bytes there.";
    EXPECT_EQ(undo.Reason, refused + " Putting back the bytes changed before it failed as well: " + refused);
    EXPECT_EQ(history_.Position(), 1u);
}

TEST_F(History, AFileReadOnlyNowRefusesUndoAndRedoLikeAnyWrite)
{
    // Made read-only while open (the descriptor could still write), or
    // opened again for reading only; undo, or redo after an undo.
    for (const bool reopen : {false, true}) {
        for (const bool redo : {false, true}) {
            SCOPED_TRACE(std::string(reopen ? "reopened" : "made read-only") + (redo ? ", redo" : ", undo"));
            ASSERT_EQ(::chmod(path_.c_str(), 0644), 0);
            ASSERT_TRUE(doc_.FileHandle.Open(path_).Opened());
            recorder_.NewFile();
            MakeThreeWriteStep();
            if (redo)
                ASSERT_TRUE(history_.Undo(doc_));
            const Bytes before = ReadWholeFile(path_);
            ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
            if (reopen)
                ASSERT_EQ(doc_.FileHandle.Open(path_).Status, RomFile::OpenStatus::OpenedReadOnly);
            const StepOutcome outcome = redo ? history_.Redo(doc_) : history_.Undo(doc_);
            EXPECT_FALSE(outcome.Done);
            EXPECT_EQ(outcome.Reason, "The opened file is 'read only'.");
            EXPECT_EQ(history_.Position(), redo ? 0u : 1u);
            EXPECT_EQ(ReadWholeFile(path_), before);
            ASSERT_EQ(::chmod(path_.c_str(), 0644), 0);
            ASSERT_TRUE(doc_.FileHandle.Open(path_).Opened());
            // Writable again: the same step goes through.
            EXPECT_TRUE(redo ? history_.Redo(doc_) : history_.Undo(doc_));
            ASSERT_TRUE(doc_.FileHandle.WriteAt(0, CountingBytes(64).data(), 64));
        }
    }
}

}  // namespace

TEST_F(History, AStrokeEndsBeforeAnyOtherStepAndANewFileDropsIt)
{
    recorder_.BeginStroke("paint");
    doc_.EditorSlots[3].Pixels[0] = 1;
    // A save made while the button is held is a step of its own, after it.
    RecordStep(recorder_, "color", [&] { doc_.WorkingPalette[2] = 7; });
    EXPECT_FALSE(recorder_.StrokeOpen());
    recorder_.EndStroke();  // the release then does nothing
    ASSERT_EQ(history_.Size(), 2u);
    EXPECT_EQ(history_.StepAt(0).Name, "paint");
    EXPECT_EQ(history_.StepAt(0).Cells.size(), 1u);
    EXPECT_FALSE(history_.StepAt(0).Palette);
    EXPECT_EQ(history_.StepAt(1).Name, "color");

    // A stroke still open when a file is opened belongs to the old file.
    recorder_.BeginStroke("fill");
    doc_.EditorSlots[4].Pixels.fill(2);
    recorder_.NewFile();
    EXPECT_FALSE(recorder_.StrokeOpen());
    EXPECT_FALSE(recorder_.StepOpen());
    recorder_.EndStroke();
    EXPECT_EQ(history_.Size(), 0u);
    RecordStep(recorder_, "clear", [&] { doc_.EditorSlots[4] = EditorSlot{}; });
    ASSERT_EQ(history_.Size(), 1u);
    EXPECT_EQ(history_.StepAt(0).Name, "clear");
}

TEST(CellChanges, ACellDifferingInAnyOneFieldIsAChangeOfTheStep)
{
    EditorSlotTable before{};
    before[2] = {64, {}, ModeGameboy, false};
    const std::pair<const char*, void (*)(EditorSlot&)> fields[] = {
        {"address", [](EditorSlot& cell) { cell.Address = 80; }},
        {"pixel", [](EditorSlot& cell) { cell.Pixels[63] = 1; }},
        {"mode", [](EditorSlot& cell) { cell.Mode = ModeNes; }},
        {"no mode", [](EditorSlot& cell) { cell.Mode.reset(); }},
        {"unsaved mark", [](EditorSlot& cell) { cell.Edited = true; }},
    };
    for (const auto& [field, change] : fields) {
        SCOPED_TRACE(field);
        EditorSlotTable after = before;
        change(after[2]);
        const std::vector<CellChange> changes = CellChangesBetween(before, after);
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].Slot, 2);
        EXPECT_EQ(changes[0].After, after[2]);
    }
}

TEST_F(History, AChangeOutsideAStepIsNamedByTheNextStepOrUndo)
{
    if (!StepGuardBuilt) {
        // Without assertions the guard keeps nothing.
        EXPECT_TRUE(std::is_empty_v<StepGuard>);
        GTEST_SKIP() << "the check is compiled out without assertions";
    }
    std::vector<std::string> told;
    SetStepGuardFailureForTesting([&](const std::string& message) { told.push_back(message); });
    struct Case {
        const char* Changed;
        void (*Change)(Document&);
        bool ByUndo;  // seen by an undo, else by the next step
        const char* Named;
    };
    const Case cases[] = {
        {"a pixel", [](Document& d) { d.EditorSlots[7].Pixels[0] ^= 1; }, false, "editor cell 7"},
        {"an unsaved mark", [](Document& d) { d.EditorSlots[9].Edited = !d.EditorSlots[9].Edited; }, true,
         "editor cell 9"},
        {"a cell's mode", [](Document& d) { d.EditorSlots[255].Mode = ModeNes; }, false, "editor cell 255"},
        {"a palette entry", [](Document& d) { d.WorkingPalette[200] ^= 1; }, true, "working palette entry 200"},
        {"a set's color", [](Document& d) { d.Sets.ColorSets[3].Colors[0] ^= 1; }, false, "color set 3"},
        {"the set count", [](Document& d) { ++d.Sets.SetCount; }, true, "the number of color sets"},
        {"a pattern's name", [](Document& d) { d.Patterns.Patterns[1].Description += "x"; }, false, "pattern 1"},
        {"the pattern count", [](Document& d) { ++d.Patterns.PatternCount; }, true, "the number of patterns"},
        {"a bookmark", [](Document& d) { d.Bookmarks.Marks.at(0).Address += 1; }, true, "bookmark 0"},
        {"the bookmark count", [](Document& d) { d.Bookmarks.Marks.push_back({}); }, false, "the number of bookmarks"},
        {"the bookmark order", [](Document& d) { d.Bookmarks.Order = BookmarkOrder::Description; }, false,
         "the bookmark order"},
    };
    doc_.Bookmarks.Marks.push_back({16, "font"});  // before anything was kept: not checked
    std::uint8_t round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Changed);
        RecordStep(recorder_, "fill", [&] { doc_.EditorSlots[0].Pixels.fill(++round); });
        told.clear();
        c.Change(doc_);
        if (c.ByUndo)
            history_.Undo(doc_);
        else
            RecordStep(recorder_, "paint", [] {});
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0], "The document changed outside a step: " + std::string(c.Named) +
                               (c.ByUndo ? " (seen before an undo or redo)." : " (seen before the step 'paint')."));
    }

    // Nothing is told for changes inside steps, strokes, undo and redo, a
    // new file, or the lists' selections.
    told.clear();
    RecordStep(recorder_, "paint", [&] { doc_.EditorSlots[3].Pixels[1] = 5; });
    history_.Undo(doc_);
    history_.Redo(doc_);
    doc_.Sets.SelectedSet = 2;
    doc_.Bookmarks.SelectedIndex = 1;
    recorder_.BeginStroke("paint");
    doc_.EditorSlots[4].Pixels[0] = 1;
    RecordStep(recorder_, "clear", [&] { doc_.EditorSlots[4] = EditorSlot{}; });
    doc_.EditorSlots[5].Pixels[0] = 9;
    recorder_.NewFile();
    RecordStep(recorder_, "fill", [&] { doc_.EditorSlots[5].Pixels.fill(1); });
    history_.Undo(doc_);
    EXPECT_TRUE(told.empty()) << told.front();
    SetStepGuardFailureForTesting({});
}

TEST(HistoryDeathTest, AChangeOutsideAStepStopsTheProgram)
{
    if (!StepGuardBuilt)
        GTEST_SKIP() << "the check is compiled out without assertions";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Document doc;
            EditHistory history;
            EditRecorder recorder(doc, history);
            RecordStep(recorder, "fill", [&] { doc.EditorSlots[1].Pixels[0] = 1; });
            doc.WorkingPalette[4] = 1;
            recorder.BeginStep("paint");
        },
        "The document changed outside a step: working palette entry 4 \\(seen before the step 'paint'\\)");
}

namespace {

struct StoredLists {
    ColorSetList Sets;
    PatternList Patterns;
    BookmarkList Bookmarks;

    bool operator==(const StoredLists&) const = default;
};

StoredLists ListsOf(const ProgramState& state)
{
    return {state.Sets, state.Patterns, state.Bookmarks};
}

Palette256 ColorsOf(int seed)
{
    Palette256 colors{};
    for (int i = 0; i < 256; ++i)
        colors[i] = MakePackedColor(seed, i, 255 - i);
    return colors;
}

// Three sets (the middle one selected), three patterns and three bookmarks
// in address order (the last one selected).
void FillLists(ProgramState& state)
{
    for (const char* name : {"A", "B", "C"})
        AddSet(state.Sets, ColorsOf(name[0]), name);
    state.Sets.SelectedSet = 1;
    for (int i = 0; i < 3; ++i) {
        state.EditorSlots[i].Address = 16 * i;
        AddPattern(state.Patterns, state.EditorSlots, "P" + std::to_string(i));
    }
    state.Bookmarks.Marks = {{16, "font"}, {32, "Title"}, {48, "map"}};
    state.Bookmarks.SelectedIndex = 2;
}

}  // namespace

TEST(ListEdits, EachIsOneStepThatUndoAndRedoPutBackExactly)
{
    enum class List { Sets, Patterns, Bookmarks };
    struct Case {
        const char* Step;
        List Changed;
        std::function<void(ProgramState&)> Edit;
    };
    std::mt19937 random(5);
    BookmarkLoad bookmarks{};
    bookmarks.Marks = {{5, "x"}};
    PatternLoad patterns{};
    patterns.Patterns.push_back({"loaded", {}});
    const Case cases[] = {
        {"add color set", List::Sets, [](ProgramState& s) { AddSetAsStep(s, "add color set", ColorsOf(9), "D"); }},
        {"random palette", List::Sets,
         [&](ProgramState& s) { AddSetAsStep(s, "random palette", RandomColors(random), "Random palette"); }},
        // The selected set swaps with the last, which stays behind the count.
        {"delete color set", List::Sets, [](ProgramState& s) { DeleteSelectedSetAsStep(s); }},
        {"rename color set", List::Sets, [](ProgramState& s) { RenameSelectedSetAsStep(s, "Renamed"); }},
        {"color set edit", List::Sets, [](ProgramState& s) { SetSetColorAsStep(s, 2, 255, MakePackedColor(1, 2, 3)); }},
        // One set replaces three: the selection moves to it.
        {"color set load", List::Sets,
         [](ProgramState& s) {
             StoreLoadedSetsAsStep(s, "color set load", {{ColorsOf(7), "L"}}, true);
         }},
        {"palette import", List::Sets,
         [](ProgramState& s) {
             StoreLoadedSetsAsStep(s, "palette import", {{ColorsOf(8), "at 0"}}, false);
         }},
        {"add bookmark", List::Bookmarks, [](ProgramState& s) { AddBookmarkAsStep(s, 8, "start"); }},
        {"delete bookmark", List::Bookmarks, [](ProgramState& s) { DeleteBookmarkAsStep(s, 0); }},
        {"rename bookmark", List::Bookmarks, [](ProgramState& s) { RenameBookmarkAsStep(s, "Zebra"); }},
        {"new bookmark list", List::Bookmarks, [](ProgramState& s) { ClearBookmarksAsStep(s); }},
        {"bookmark load", List::Bookmarks, [&](ProgramState& s) { StoreLoadedBookmarksAsStep(s, bookmarks); }},
        {"bookmark order", List::Bookmarks,
         [](ProgramState& s) { SetBookmarkOrderAsStep(s, BookmarkOrder::Description); }},
        {"add pattern", List::Patterns, [](ProgramState& s) { AddPatternAsStep(s, "new"); }},
        {"delete pattern", List::Patterns, [](ProgramState& s) { DeletePatternAsStep(s, 0); }},
        {"rename pattern", List::Patterns, [](ProgramState& s) { RenamePatternAsStep(s, 1, "renamed"); }},
        {"pattern load", List::Patterns, [&](ProgramState& s) { StoreLoadedPatternsAsStep(s, patterns); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Step);
        ProgramState state;
        FillLists(state);
        const StoredLists before = ListsOf(state);
        c.Edit(state);
        ASSERT_EQ(state.History.Size(), 1u);
        EXPECT_EQ(state.History.UndoText(), "Undo " + std::string(c.Step));
        const StoredLists after = ListsOf(state);
        ASSERT_NE(after, before);

        const StepOutcome undone = state.History.Undo(state);
        ASSERT_TRUE(undone.Done);
        EXPECT_EQ(undone.SetsChanged, c.Changed == List::Sets);
        EXPECT_EQ(undone.PatternsChanged, c.Changed == List::Patterns);
        EXPECT_EQ(undone.BookmarksChanged, c.Changed == List::Bookmarks);
        EXPECT_TRUE(undone.ChangedCells.empty());
        EXPECT_TRUE(ListsOf(state) == before);
        ASSERT_TRUE(state.History.Redo(state).Done);
        EXPECT_TRUE(ListsOf(state) == after);
    }
}
