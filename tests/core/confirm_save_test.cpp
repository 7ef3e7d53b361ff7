#include "model/core/confirm_save.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const SaveQuestion = "You are about to save to file. This will change the\r"
                                 "file permanently.\r\r"
                                 "You should always keep a backup\r"
                                 "of the file you are altering.\r\r"
                                 "Do you want to save?";

class ConfirmSaveTest : public ::testing::Test {
protected:
    void OpenRom() { ASSERT_TRUE(state_.FileHandle.Open(dir_.WriteFile("game.gb", CountingBytes(64))).Opened()); }

    TempDir dir_;
    ProgramState state_;
    ScriptedDialogs dialogs_;
};

}  // namespace

TEST_F(ConfirmSaveTest, NoFileOpenRefusesSilently)
{
    EXPECT_FALSE(ConfirmSave(state_, dialogs_));
    EXPECT_TRUE(dialogs_.Prompts.empty());
}

TEST_F(ConfirmSaveTest, WarningAnsweredYesOrNo)
{
    OpenRom();
    dialogs_.QueueYesNo(true);
    dialogs_.QueueYesNo(false);
    EXPECT_TRUE(ConfirmSave(state_, dialogs_));
    EXPECT_FALSE(ConfirmSave(state_, dialogs_));
    ASSERT_EQ(dialogs_.Prompts.size(), 2u);
    for (const auto& prompt : dialogs_.Prompts) {
        EXPECT_EQ(prompt.PromptKind, ScriptedDialogs::Kind::YesNo);
        EXPECT_EQ(prompt.Text, SaveQuestion);
        EXPECT_EQ(prompt.Caption, "Saving?");
    }
}

TEST_F(ConfirmSaveTest, WarningSwitchedOffAsksNothing)
{
    OpenRom();
    state_.ShowSaveWarning = false;
    EXPECT_TRUE(ConfirmSave(state_, dialogs_));
    EXPECT_TRUE(dialogs_.Prompts.empty());
}

TEST_F(ConfirmSaveTest, ReadOnlyFileIsRefusedWhateverTheWarningSwitch)
{
    OpenRom();
    // Made read-only after opening: the attribute is looked up at each call.
    ASSERT_EQ(::chmod(state_.FileName().c_str(), 0444), 0);
    for (bool warning : {true, false}) {
        state_.ShowSaveWarning = warning;
        dialogs_.Prompts.clear();
        EXPECT_FALSE(ConfirmSave(state_, dialogs_));
        ASSERT_EQ(dialogs_.Prompts.size(), 1u);
        EXPECT_EQ(dialogs_.Prompts[0].PromptKind, ScriptedDialogs::Kind::Message);
        EXPECT_EQ(dialogs_.Prompts[0].Text, "The opened file is 'read only'.");
        EXPECT_EQ(dialogs_.Prompts[0].Caption, "Could not write to file");
        EXPECT_EQ(dialogs_.Prompts[0].Icon, MsgIcon::None);
    }
    EXPECT_EQ(ReadWholeFile(state_.FileName()), CountingBytes(64));
}

TEST_F(ConfirmSaveTest, AFileNoWriteCanReachIsRefusedBeforeTheWarning)
{
    const struct {
        const char* Name;
        std::vector<std::uint8_t> Bytes;
        void (*Change)(const std::string& path);
        std::string Text;  // after the file's path
    } cases[] = {
        {"empty.gb",
         {},
         [](const std::string&) {},
         "' is empty, so nothing can be written into it; nothing was written."},
        {"deleted.gb", CountingBytes(64), [](const std::string& path) { ASSERT_EQ(::unlink(path.c_str()), 0); },
         "' was changed, moved or deleted outside Brixel, so nothing was written. Open it again to go on."},
    };
    for (const auto& c : cases) {
        const std::string path = dir_.WriteFile(c.Name, c.Bytes);
        ASSERT_TRUE(state_.FileHandle.Open(path).Opened());
        c.Change(path);
        dialogs_.Prompts.clear();
        EXPECT_FALSE(ConfirmSave(state_, dialogs_)) << c.Name;
        ASSERT_EQ(dialogs_.Prompts.size(), 1u) << c.Name;
        EXPECT_EQ(dialogs_.Prompts[0].PromptKind, ScriptedDialogs::Kind::Message);
        EXPECT_EQ(dialogs_.Prompts[0].Text, "The file '" + path + c.Text);
        EXPECT_EQ(dialogs_.Prompts[0].Caption, "Could not write to file");
        EXPECT_EQ(dialogs_.Prompts[0].Icon, MsgIcon::Critical);
    }
}
