#include "app/main_form.h"
#include "browser/brow_ctrl.h"
#include "browser/browser.h"
#include "editor/editor.h"
#include "core/rom_session.h"
#include "support/viewer_fixture.h"
#include "tools/find_graphics.h"
#include "tools/find_graphics_text.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <fstream>
#include <iterator>

namespace {

// The sample ROM's font starts with "A" at this address in 1 bit per pixel.
constexpr std::int32_t FontA = 512;

class FindGraphicsWindow : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        std::ifstream in(std::string(BRIXEL_SOURCE_DIR) + "/samples/sample.gb", std::ios::binary);
        rom_.assign(std::istreambuf_iterator<char>(in), {});
        ASSERT_EQ(rom_.size(), 32768u);
        OpenRom(rom_, "sample.gb");
        ASSERT_EQ(state.CurrentMode, ModeOneBit);
        find_ = w->FindGraphics;
    }

    // Runs the search and waits for its end.
    void Find()
    {
        QSignalSpy ended(find_, &FindGraphics::SearchEnded);
        QTest::mouseClick(find_->BtFind, Qt::LeftButton);
        ASSERT_TRUE(ended.count() > 0 || ended.wait(10000));
    }

    int RowOf(std::int32_t address, GraphicsMode mode) const
    {
        const auto& matches = find_->Matches();
        for (std::size_t i = 0; i < matches.size(); ++i)
            if (matches[i].Address == address && matches[i].Mode == mode)
                return static_cast<int>(i);
        return -1;
    }

    std::vector<std::uint8_t> rom_;
    FindGraphics* find_ = nullptr;
};

TEST_F(FindGraphicsWindow, TheEditorCellIsFoundInTheSampleRomAndAClickShowsIt)
{
    // Copy "A" into the editor: the browser's tile 64 of the first grid.
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 8 * 24 + 5));
    ASSERT_EQ(state.EditorSlots[0].Address, FontA);
    state.EditorCursorCol = 0;

    QCoreApplication::processEvents();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(w->Editor, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(find_->isVisible());

    find_->OpAllModes->setChecked(true);
    Find();
    const int row = RowOf(FontA, ModeOneBit);
    ASSERT_GE(row, 0) << find_->LbStatus->text().toStdString();
    // The tile itself, in its own colors, comes first.
    EXPECT_EQ(row, 0);
    EXPECT_TRUE(find_->Matches()[0].ExactColors);
    QTreeWidgetItem* item = find_->ListMatches->topLevelItem(row);
    EXPECT_EQ(item->text(0).toStdString(), "00000200 hex");
    EXPECT_EQ(item->text(1).toStdString(), "512");
    EXPECT_EQ(item->text(2).toStdString(), std::string(state.ModeTable[ModeOneBit].Name));
    EXPECT_EQ(item->text(3).toStdString(), "as drawn");
    EXPECT_EQ(find_->LbStatus->text().toStdString(), SearchSummaryText({find_->Matches()}));

    // Elsewhere in another mode, a click on the result brings the tile back.
    w->BrowCtrl->ComboMode->setCurrentIndex(3);
    ASSERT_NE(state.CurrentMode, ModeOneBit);
    find_->ListMatches->scrollToItem(item);
    const QRect place = find_->ListMatches->visualItemRect(item);
    QTest::mouseClick(find_->ListMatches->viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_EQ(state.CurrentMode, ModeOneBit);
    EXPECT_EQ(state.BrowserAddress, FontA);
    EXPECT_EQ(state.BrowserSelX, 0);
    EXPECT_EQ(state.BrowserSelY, 0);
    EXPECT_EQ(w->BrowCtrl->EdAdd->text().toStdString(), "512");

    // The results belong to the file: another file clears them.
    OpenRom(std::vector<std::uint8_t>(1024, 0), "other.gb");
    EXPECT_TRUE(find_->Matches().empty());
    EXPECT_EQ(find_->ListMatches->topLevelItemCount(), 0);
}

TEST_F(FindGraphicsWindow, NothingToLookForIsSaidWithoutSearching)
{
    find_->ShowTool();
    state.EditorCursorCol = 5;  // an empty cell
    Find();
    EXPECT_EQ(find_->LbStatus->text().toStdString(), EmptyCellQueryText);
    EXPECT_TRUE(find_->Matches().empty());

    // A one-color cell would match everywhere.
    state.EditorSlots[5] = {UnboundTile, {}, std::nullopt};
    Find();
    EXPECT_EQ(find_->LbStatus->text().toStdString(), OnlyUniformQueryText);

    find_->OpPicture->setChecked(true);
    Find();
    EXPECT_EQ(find_->LbStatus->text().toStdString(), NoPictureChosenText);

    CloseRomInState(state);
    Find();
    EXPECT_EQ(find_->LbStatus->text().toStdString(), NoFileToSearchText);
    EXPECT_FALSE(find_->Searching());
}

}  // namespace

namespace {

TEST_F(FindGraphicsWindow, CancelStopsARunningSearchAtOnce)
{
    OpenRom(RandomBytes(8 << 20, 7), "big.bin");
    state.EditorSlots[0] = {UnboundTile, {}, std::nullopt};
    for (int i = 0; i < 64; ++i)
        state.EditorSlots[0].Pixels[i] = static_cast<std::uint8_t>(i % 3);
    state.EditorCursorCol = 0;
    state.EditorCursorRow = 0;
    find_->ShowTool();
    find_->OpAllModes->setChecked(true);

    QSignalSpy ended(find_, &FindGraphics::SearchEnded);
    QTest::mouseClick(find_->BtFind, Qt::LeftButton);
    EXPECT_TRUE(find_->Searching());
    EXPECT_FALSE(find_->BtFind->isEnabled());
    QTest::mouseClick(find_->BtCancel, Qt::LeftButton);
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_FALSE(find_->Searching());
    EXPECT_EQ(find_->LbStatus->text().left(17).toStdString(), "Search cancelled.");
    EXPECT_TRUE(find_->BtFind->isEnabled());
    EXPECT_FALSE(find_->BtCancel->isEnabled());
}

}  // namespace
