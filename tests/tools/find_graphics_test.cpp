#include "ui/app/main_form.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "model/core/indexed_png.h"
#include "model/core/rom_session.h"
#include "model/core/tile_codec.h"
#include "ui/editor/editor.h"
#include "support/viewer_fixture.h"
#include "ui/tools/find_graphics.h"
#include "model/tools/find_graphics_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <chrono>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

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

// A picture of tiles, tilesPerRow to a row; the last row is filled up with
// copies of the first tile.
IndexedImage PictureOf(const std::vector<TilePixels>& tiles, int tilesPerRow)
{
    const int rows = (static_cast<int>(tiles.size()) + tilesPerRow - 1) / tilesPerRow;
    IndexedImage image{tilesPerRow * 8, rows * 8, {}, {0, 0x555555, 0xAAAAAA, 0xFFFFFF}, 8};
    image.Indices.resize(static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height));
    for (int t = 0; t < tilesPerRow * rows; ++t) {
        const TilePixels& tile = tiles[t < static_cast<int>(tiles.size()) ? t : 0];
        for (int i = 0; i < 64; ++i)
            image.Indices[static_cast<std::size_t>(((t / tilesPerRow) * 8 + i / 8) * image.Width +
                                                   (t % tilesPerRow) * 8 + i % 8)] = tile[i];
    }
    return image;
}

// count tiles, no two alike and none of one color.
std::vector<TilePixels> DifferentTiles(int count)
{
    std::vector<TilePixels> tiles(static_cast<std::size_t>(count));
    for (int t = 0; t < count; ++t) {
        for (int bit = 0; bit < 16; ++bit)
            tiles[t][bit] = static_cast<std::uint8_t>((t >> bit) & 1);
        tiles[t][63] = 2;
    }
    return tiles;
}

// The picture is read on the searching thread, never on the window's; what
// goes wrong with it is still told.
TEST_F(FindGraphicsWindow, APictureIsReadOffTheWindowThreadAndItsFaultsAreTold)
{
    TilePixels fontA;
    DecodeTile(ModeOneBit, rom_.data() + FontA, fontA.data());
    const std::string good = dir.Path() / "a.png";
    ASSERT_FALSE(WriteIndexedPng(good, PictureOf({fontA}, 1)));
    const std::string many = dir.Path() / "many.png";
    ASSERT_FALSE(WriteIndexedPng(many, PictureOf(DifferentTiles(4097), 64)));
    const std::string tiny = dir.Path() / "tiny.png";
    ASSERT_FALSE(WriteIndexedPng(tiny, {7, 7, std::vector<std::uint8_t>(49, 1), {0, 0xFFFFFF}, 8}));
    const std::string broken = dir.WriteFile("broken.png", {'n', 'o', 't'});
    const std::optional<UserMessage> brokenMessage = ReadIndexedPng(broken).Error;
    ASSERT_TRUE(brokenMessage);

    struct Case {
        std::string Path, Status, Label, Dialog;  // the message box's text, if one is shown
    };
    const std::vector<Case> cases{{good, "1 match found.", "a.png (1 tile)", ""},
                                  {broken, PictureUnreadableText("broken.png"), "broken.png", brokenMessage->Text},
                                  {many, TooManyTilesText("many.png", 4097), "many.png (4160 tiles)", ""},
                                  {tiny, PictureTooSmallText("tiny.png"), "tiny.png (0 tiles)", ""}};
    find_->ShowTool();
    std::thread::id reader;
    find_->PictureReading = [&reader] { reader = std::this_thread::get_id(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        dialogs.Prompts.clear();
        reader = {};
        dialogs.QueueFile({c.Path, 0});
        QTest::mouseClick(find_->BtPicture, Qt::LeftButton);
        ASSERT_TRUE(find_->OpPicture->isChecked());
        Find();
        EXPECT_NE(reader, std::thread::id{});
        EXPECT_NE(reader, std::this_thread::get_id());
        EXPECT_EQ(find_->LbStatus->text().toStdString(), c.Status);
        EXPECT_EQ(find_->LbPicture->text().toStdString(), c.Label);
        EXPECT_EQ(find_->Matches().empty(), c.Status != "1 match found.");
        std::string dialog;
        for (const auto& prompt : dialogs.Prompts)
            if (prompt.PromptKind == ScriptedDialogs::Kind::Message)
                dialog += prompt.Text;
        EXPECT_EQ(dialog, c.Dialog);
    }
}

// A 2048 x 2048 picture: Cancel, pressed while the query is being prepared,
// stops the preparation at its next look at the flag.
TEST_F(FindGraphicsWindow, CancelStopsThePreparationOfALargeQuery)
{
    const std::string path = dir.Path() / "large.png";
    std::vector<TilePixels> tiles = DifferentTiles(4000);
    tiles.resize(256 * 256, tiles[1]);
    ASSERT_FALSE(WriteIndexedPng(path, PictureOf(tiles, 256)));
    find_->ShowTool();
    find_->ChkFlips->setChecked(true);
    dialogs.QueueFile({path, 0});
    QTest::mouseClick(find_->BtPicture, Qt::LeftButton);

    // The first step waits until Cancel has been pressed.
    std::promise<void> reached, pressed;
    std::shared_future<void> pressedLater = pressed.get_future().share();
    std::atomic<int> steps{0};
    find_->PreparationStep = [&] {
        if (steps++ == 0) {
            reached.set_value();
            pressedLater.wait_for(std::chrono::seconds(30));
        }
    };
    QSignalSpy ended(find_, &FindGraphics::SearchEnded);
    QTest::mouseClick(find_->BtFind, Qt::LeftButton);
    ASSERT_EQ(reached.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
    ASSERT_TRUE(find_->BtCancel->isEnabled());
    QTest::mouseClick(find_->BtCancel, Qt::LeftButton);
    pressed.set_value();
    ASSERT_TRUE(ended.wait(30000));

    EXPECT_EQ(steps, 1);  // 256 steps for the whole picture
    EXPECT_EQ(find_->LbStatus->text().toStdString(), "Search cancelled. No match found.");
    EXPECT_FALSE(find_->Searching());
    EXPECT_TRUE(find_->BtFind->isEnabled());
}

}  // namespace
