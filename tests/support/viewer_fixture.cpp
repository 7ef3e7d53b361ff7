#include "support/viewer_fixture.h"

#include "ui/browser/brow_ctrl.h"
#include "model/core/mode_table.h"
#include "model/editor/editor_slots.h"

#include <QComboBox>

void ViewerFixture::SetUp()
{
    form = std::make_unique<MainForm>(state, &dialogs);
    form->show();
    w = &form->AllWindows();
}

void ViewerFixture::TearDown()
{
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

std::string ViewerFixture::OpenRom(const std::vector<std::uint8_t>& bytes, const std::string& name)
{
    const std::string path = dir.WriteFile(name, bytes);
    // Edits left by an earlier step of the test are thrown away.
    if (UnsavedTileCount(state) > 0)
        dialogs.QueueSaveChoice(SaveChoice::Discard);
    if (state.FileOpen())
        dialogs.QueueYesNo(true);
    dialogs.QueueFile({path, 1});
    w->BrowCtrl->BtOpenFile_Click();
    return path;
}

void ViewerFixture::SelectMode(std::uint8_t mode)
{
    for (int position = 0; position < ModeCount; ++position)
        if (ModeListOrder[position] == mode)
            w->BrowCtrl->ComboMode->setCurrentIndex(position);
}
