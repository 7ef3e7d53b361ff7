// The Edit menu's patch and revert actions on a real file: the patch files
// they save, the writes they make as one undoable step, and what they say.
#include "model/core/edit_step.h"
#include "model/core/rom_session.h"
#include "model/tools/bps_patch.h"
#include "model/tools/patch_actions.h"
#include "model/tools/rom_patch.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <new>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

class PatchActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitState(state);
        state.ShowSaveWarning = false;
        path = dir.WriteFile("game.bin", CountingBytes(64));
        ASSERT_TRUE(OpenRomInState(state, path).Opened);
    }

    void Edit(std::int64_t offset, const Bytes& bytes)
    {
        RecordStep(state.Recorder, "edit",
                   [&] { ASSERT_TRUE(state.FileHandle.WriteAt(offset, bytes.data(), bytes.size())); });
    }

    std::string In(const std::string& name) const { return (dir.Path() / name).string(); }

    TempDir dir;
    std::string path;
    ProgramState state;
    ScriptedDialogs dialogs;
};

std::string MessageText(const EditReport& report)
{
    return report.Message ? report.Message->Text : "(no message)";
}

// Bytes 5 and 6 to AA BB, bytes 62 and 63 to CC 3F (63 is there already).
const Bytes TwoRecordIps = {'P',  'A', 'T', 'C', 'H', 0, 0,    5,  0,   2,   0xAA,
                            0xBB, 0,   0,   62,  0,   2, 0xCC, 63, 'E', 'O', 'F'};

TEST_F(PatchActions, CreateSavesTheChangesInTheChosenFormatOrSaysWhyNot)
{
    const char* const noChange =
        "The file has not been changed since it was opened, so there is nothing to put in a patch.";
    EXPECT_EQ(MessageText(CreatePatchOfChanges(state, dialogs)), noChange);
    Edit(40, {0});
    Edit(40, {40});  // back to its original
    EXPECT_EQ(MessageText(CreatePatchOfChanges(state, dialogs)), noChange);

    Edit(5, {0xAA, 0xBB});
    Edit(62, {0xCC});
    dialogs.QueueFile({In("small"), 1});
    EXPECT_EQ(CreatePatchOfChanges(state, dialogs).InfoText, "Patch written to " + In("small.ips") + " (21 bytes)");
    EXPECT_EQ(ReadWholeFile(In("small.ips")),
              Bytes({'P', 'A', 'T', 'C', 'H', 0, 0, 5, 0, 2, 0xAA, 0xBB, 0, 0, 62, 0, 1, 0xCC, 'E', 'O', 'F'}));
    dialogs.QueueFile({In("small"), 2});
    ASSERT_TRUE(CreatePatchOfChanges(state, dialogs).InfoText);
    EXPECT_EQ(ReadWholeFile(In("small.bps")),
              BpsPatchFormat.Build(state.FileHandle, state.Recorder.Journal().OriginalBytes()).Bytes);
    dialogs.QueueFile({});
    EXPECT_FALSE(CreatePatchOfChanges(state, dialogs).Message);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
    EXPECT_EQ(dialogs.Prompts.at(0).Text, "IPS patch (*.ips)|*.ips|BPS patch (*.bps)|*.bps");
    EXPECT_EQ(dialogs.Prompts.at(0).SuggestedName, "game.ips");

    CloseRomInState(state);
    EXPECT_EQ(MessageText(CreatePatchOfChanges(state, dialogs)), "No file is open, so there is no file to patch.");
}

TEST_F(PatchActions, ApplyIsOneUndoableStepAfterTheSaveWarning)
{
    const std::string patch = dir.WriteFile("fix.ips", TwoRecordIps);
    state.ShowSaveWarning = true;
    dialogs.QueueFile({patch, 1});
    dialogs.QueueYesNo(false);
    EXPECT_FALSE(ApplyPatchFromFile(state, dialogs).InfoText);
    EXPECT_EQ(state.History.Size(), 0u);

    dialogs.QueueFile({patch, 1});
    dialogs.QueueYesNo(true);
    EXPECT_EQ(ApplyPatchFromFile(state, dialogs).InfoText, "Patch applied: 3 bytes changed");
    Bytes patched = CountingBytes(64);
    patched[5] = 0xAA, patched[6] = 0xBB, patched[62] = 0xCC;
    EXPECT_EQ(ReadWholeFile(path), patched);
    ASSERT_EQ(state.History.Size(), 1u);
    EXPECT_EQ(state.History.StepAt(0).Name, "patch");
    ASSERT_TRUE(state.History.Undo(state));
    EXPECT_EQ(ReadWholeFile(path), CountingBytes(64));
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(PatchActions, ARefusedPatchWritesNothingAndAsksNothing)
{
    // A BPS of an edit is made for the file before it, not for the edited file.
    Edit(1, {0});
    dialogs.QueueFile({In("other"), 2});
    ASSERT_TRUE(CreatePatchOfChanges(state, dialogs).InfoText);
    const Bytes edited = ReadWholeFile(path);
    const std::pair<std::string, std::string> refusals[] = {
        {In("other.bps"), "The patch was made for different file contents: the checksum of this file does not "
                          "match the one the patch expects, so nothing was written."},
        {dir.WriteFile("longer.ips", {'P', 'A', 'T', 'C', 'H', 'E', 'O', 'F', 0, 0, 65}),
         "The patch turns a file of 64 bytes into one of 65 bytes. Brixel never changes the length of a ROM, so "
         "nothing was written."},
    };
    state.ShowSaveWarning = true;  // a question would find no answer queued
    for (const auto& [patch, text] : refusals) {
        dialogs.QueueFile({patch, 1});
        EXPECT_EQ(MessageText(ApplyPatchFromFile(state, dialogs)), text);
    }
    EXPECT_EQ(ReadWholeFile(path), edited);
    EXPECT_EQ(state.History.Size(), 1u);
}

// The whole file at once (the support's reader takes a byte at a time).
Bytes WholeFile(const std::string& path)
{
    Bytes bytes(std::filesystem::file_size(path));
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

enum class Action { Revert, Patch, Undo, Redo };
enum class Fault { None, DiskFull, NoMemoryWriting, NoMemoryPreparing, PutBackFails };
struct FaultCase {
    Action Act;
    Fault Kind;
    int At;  // the write call, or the allocation, that fails
};

// Revert, patch, undo and redo of a 16-byte change and one of 1 MiB and 16
// bytes, a fault at one point: the file ends wholly old or wholly new, and
// the history changes only when the action went through.
TEST(WholeOrNothing, AnActionOfManyRunsEndsAllOldOrAllNew)
{
    constexpr std::size_t Length = 0x180000;
    constexpr std::int64_t Big = 0x3FFF8;
    constexpr std::size_t BigSize = 0x100010;
    using enum Action;
    using enum Fault;
    // clang-format off
    const FaultCase cases[] = {
        {Revert, None, 0}, {Revert, DiskFull, 1}, {Revert, DiskFull, 2}, {Revert, DiskFull, 3},
        {Revert, NoMemoryWriting, 3}, {Revert, NoMemoryPreparing, 1}, {Revert, NoMemoryPreparing, 4},
        {Revert, NoMemoryPreparing, 6}, {Revert, PutBackFails, 3},
        {Patch, None, 0}, {Patch, DiskFull, 1}, {Patch, DiskFull, 3}, {Patch, NoMemoryWriting, 2},
        {Patch, NoMemoryPreparing, 5},
        {Undo, None, 0}, {Undo, DiskFull, 1}, {Undo, DiskFull, 2}, {Undo, DiskFull, 3}, {Undo, NoMemoryWriting, 2},
        {Undo, NoMemoryPreparing, 1}, {Undo, PutBackFails, 2},
        {Redo, None, 0}, {Redo, DiskFull, 3}, {Redo, NoMemoryWriting, 2}};
    // clang-format on
    TempDir dir;
    Bytes original(Length);
    for (std::size_t i = 0; i < Length; ++i)
        original[i] = static_cast<std::uint8_t>(i * 13 + i / 4096);
    Bytes edited = original;
    for (std::size_t i = 0; i < 16; ++i)
        edited[100 + i] ^= 0xFF;
    for (std::size_t i = 0; i < BigSize; ++i)
        edited[Big + i] ^= 0x5A;
    const std::string patch = (dir.Path() / "changes.bps").string();

    for (const FaultCase& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.Act)) + "/" + std::to_string(static_cast<int>(c.Kind)) + " at " +
                     std::to_string(c.At));
        ProgramState state;
        InitState(state);
        state.ShowSaveWarning = false;
        ScriptedDialogs dialogs;
        const std::string path = dir.WriteFile("big.bin", original);
        ASSERT_TRUE(OpenRomInState(state, path).Opened);
        RecordStep(state.Recorder, "edit", [&] {
            ASSERT_TRUE(state.FileHandle.WriteAt(100, edited.data() + 100, 16));
            ASSERT_TRUE(state.FileHandle.WriteAt(Big, edited.data() + Big, BigSize));
        });
        if (!std::filesystem::exists(patch)) {
            const PatchFile made = BpsPatchFormat.Build(state.FileHandle, state.Recorder.Journal().OriginalBytes());
            ASSERT_TRUE(made.Made());
            dir.WriteFile("changes.bps", made.Bytes);
        }
        if (c.Act != Action::Revert)
            ASSERT_EQ(RevertToOpenedState(state, dialogs).InfoText,
                      "Reverted 1048608 bytes to their values at the open");
        if (c.Act == Action::Redo)
            ASSERT_TRUE(state.History.Undo(state));
        const Bytes old = WholeFile(path);
        const Bytes wanted = old == original ? edited : original;
        const std::size_t steps = state.History.Size();
        const std::size_t position = state.History.Position();

        int calls = 0;
        state.FileHandle.SetWriterForTesting([&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
            ++calls;
            if (c.Kind == Fault::DiskFull && calls == c.At)
                return errno = ENOSPC, -1;
            if (c.Kind == Fault::PutBackFails && calls >= c.At)
                return errno = EIO, -1;
            if (c.Kind == Fault::NoMemoryWriting && calls == c.At)
                throw std::bad_alloc();
            return ::pwrite(fd, data, size, offset);
        });
        int allocations = 0;
        if (c.Kind == Fault::NoMemoryPreparing)
            SetAllocationProbeForTesting([&] {
                if (++allocations == c.At)
                    throw std::bad_alloc();
            });
        EditReport report;
        StepOutcome outcome;
        switch (c.Act) {
        case Action::Revert:
            report = RevertToOpenedState(state, dialogs);
            break;
        case Action::Patch:
            dialogs.QueueFile({patch, 1});
            report = ApplyPatchFromFile(state, dialogs);
            break;
        case Action::Undo:
            outcome = state.History.Undo(state);
            break;
        case Action::Redo:
            outcome = state.History.Redo(state);
            break;
        }
        SetAllocationProbeForTesting({});
        state.FileHandle.SetWriterForTesting({});
        const bool viaHistory = c.Act == Action::Undo || c.Act == Action::Redo;
        const std::string reason = viaHistory ? outcome.Reason : MessageText(report);

        if (c.Kind == Fault::None) {
            EXPECT_TRUE(WholeFile(path) == wanted);
            EXPECT_TRUE(viaHistory ? outcome.Done : !report.Message);
            const char* const done[] = {"Reverted 1048608 bytes to their values at the open",
                                        "Patch applied: 1048608 bytes changed"};
            if (!viaHistory)
                EXPECT_EQ(report.InfoText, done[c.Act == Action::Patch]);
            EXPECT_EQ(state.History.Size(), viaHistory ? steps : steps + 1);
            EXPECT_EQ(state.History.UndoText(), c.Act == Action::Undo    ? "Undo edit"
                                                : c.Act == Action::Patch ? "Undo patch"
                                                                         : "Undo revert to opened state");
            continue;
        }
        EXPECT_EQ(state.History.Size(), steps);
        EXPECT_EQ(state.History.Position(), position);
        EXPECT_FALSE(outcome.Done);
        if (!viaHistory) {
            ASSERT_TRUE(report.Message);
            EXPECT_EQ(report.Message->Caption, "Could not write to file");
        }
        const Bytes after = WholeFile(path);
        if (c.Kind == Fault::PutBackFails) {
            EXPECT_FALSE(after == old || after == wanted);
            EXPECT_NE(reason.find("Putting back the bytes changed before it failed as well"), std::string::npos)
                << reason;
            if (!viaHistory)
                EXPECT_EQ(report.InfoText,
                          "The file may be changed in part: not every byte written could be put back.");
            continue;
        }
        EXPECT_TRUE(after == old);
        const char* const cause[] = {"", "No space left on device", "needed more memory than is free",
                                     "There is not enough free memory to prepare the changes"};
        EXPECT_NE(reason.find(cause[static_cast<int>(c.Kind)]), std::string::npos) << reason;
        if (c.Act == Action::Revert)
            EXPECT_EQ(report.InfoText, "Nothing was reverted; nothing in the file was changed.");
        if (c.Act == Action::Patch)
            EXPECT_EQ(report.InfoText, "The patch was not applied; nothing in the file was changed.");
    }
}

TEST_F(PatchActions, RevertWritesEachChangedRunBackAsOneUndoableStep)
{
    Edit(10, {1, 2, 3});
    Edit(12, {9, 9});  // joins the first run: 10..13
    Edit(30, {0xFF});
    const Bytes edited = ReadWholeFile(path);
    const EditReport report = RevertToOpenedState(state, dialogs);
    EXPECT_EQ(report.InfoText, "Reverted 5 bytes to their values at the open");
    EXPECT_EQ(ReadWholeFile(path), CountingBytes(64));
    ASSERT_EQ(state.History.Size(), 4u);
    const EditStep& revert = state.History.StepAt(3);
    EXPECT_EQ(revert.Name, "revert to opened state");
    ASSERT_EQ(revert.Writes.size(), 2u);
    EXPECT_EQ(revert.Writes[0].After, Bytes({10, 11, 12, 13}));

    const char* const nothing = "The file is as it was opened; there is nothing to revert.";
    EXPECT_EQ(RevertToOpenedState(state, dialogs).InfoText, nothing);
    ASSERT_TRUE(state.History.Undo(state));
    EXPECT_EQ(ReadWholeFile(path), edited);
    // Closing the file starts a new history; nothing is left to revert.
    CloseRomInState(state);
    EXPECT_EQ(RevertToOpenedState(state, dialogs).InfoText, nothing);
    EXPECT_EQ(state.History.Size(), 0u);
}

}  // namespace
