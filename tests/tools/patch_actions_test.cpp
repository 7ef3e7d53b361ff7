// The Edit menu's patch and revert actions on a real file: the patch files
// they save, the writes they make as one undoable step, and what they say.
#include "core/rom_session.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "tools/patch_actions.h"
#include "tools/rom_patch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
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
              BuildPatch(PatchFormat::Bps, state.FileHandle, state.Recorder.Journal().OriginalBytes()).Bytes);
    dialogs.QueueFile({});
    EXPECT_FALSE(CreatePatchOfChanges(state, dialogs).Message);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
    EXPECT_EQ(dialogs.Prompts.at(0).Text, "IPS patch (*.ips)|*.ips|BPS patch (*.bps)|*.bps");

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

TEST_F(PatchActions, AFailedWriteKeepsTheWritesBeforeItAsOneStep)
{
    int calls = 0;
    state.FileHandle.SetWriterForTesting([&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (++calls == 2)
            return errno = ENOSPC, -1;
        return ::pwrite(fd, data, size, offset);
    });
    dialogs.QueueFile({dir.WriteFile("fix.ips", TwoRecordIps), 1});
    const EditReport report = ApplyPatchFromFile(state, dialogs);
    EXPECT_EQ(report.InfoText, "Patch applied: 2 bytes changed");
    ASSERT_TRUE(report.Message);
    EXPECT_EQ(report.Message->Caption, "Could not write to file");
    EXPECT_NE(MessageText(report).find("No space left on device"), std::string::npos) << MessageText(report);
    ASSERT_EQ(state.History.Size(), 1u);
    ASSERT_TRUE(state.History.Undo(state));
    EXPECT_EQ(ReadWholeFile(path), CountingBytes(64));
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
