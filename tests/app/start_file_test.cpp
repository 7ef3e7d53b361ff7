#include "ui/app/main_form.h"
#include "support/viewer_fixture.h"

#include <QLabel>

namespace {

using StartFile = ViewerFixture;

}  // namespace

TEST_F(StartFile, AMissingFileIsReportedAndTheProgramStartsEmpty)
{
    const std::string missing = (dir.Path() / "no such.gb").string();
    form->OpenStartFile(missing);
    EXPECT_EQ(form->LbInfo->text().toStdString(), "File not found: " + missing);
    EXPECT_FALSE(state.FileOpen());
    EXPECT_TRUE(dialogs.Prompts.empty());
}

TEST_F(StartFile, AnExistingFileIsOpened)
{
    const std::string path = dir.WriteFile("start.gb", std::vector<std::uint8_t>(1000, 7));
    form->OpenStartFile(path);
    EXPECT_TRUE(state.FileOpen());
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Opened " + path + " (1000 bytes)");
}
