#include "ui/app/main_form.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"
#include "ui/editor/edit_ctrl.h"
#include "ui/editor/editor.h"
#include "ui/editor/tile_ctrl.h"
#include "support/viewer_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using RomIntegrity = ViewerFixture;

std::vector<std::uint8_t> RandomRom(std::size_t length)
{
    std::mt19937 random(77);
    std::vector<std::uint8_t> bytes(length);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

// The offsets at which two files differ.
std::set<std::size_t> Differences(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    std::set<std::size_t> offsets;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            offsets.insert(i);
    return offsets;
}

}  // namespace

TEST_F(RomIntegrity, OnlyTheWrittenTilesChangeAndTheLengthStays)
{
    const std::vector<std::uint8_t> original = RandomRom(4096 + 7);  // not a whole number of tiles
    const std::string path = OpenRom(original);
    SelectMode(ModeGameboy);
    state.ShowSaveWarning = false;
    Browser* browser = w->Browser;
    Editor* editor = w->Editor;
    editor->resize(400, 400);

    // Copy tiles 0 and 1 of the grid into cells 0 and 1, paint one pixel of each.
    QTest::mouseDClick(browser, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(browser, Qt::LeftButton, {}, QPoint(29, 5));
    w->EditCtrl->OptionPaint->click();
    state.CurrentColor = 3;
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(25, 1));
    w->EditCtrl->OptionSelect->click();
    w->EditCtrl->BtSaveEdit->click();

    // Drop cell 0 on browser tile (3, 4): address 16 * 35 = 560.
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(editor, Qt::LeftButton, {},
                        editor->mapFromGlobal(browser->mapToGlobal(QPoint(3 * 24 + 5, 4 * 24 + 5))));

    // The tile tool copies cell 0 to address 1024 and to the browser selection (tile (5, 0)).
    w->TileCtrl->LoadTile(0);
    w->TileCtrl->EdAdd->setText(QStringLiteral("1024"));
    w->TileCtrl->BtCopyToAddress->click();
    QTest::mouseClick(browser, Qt::LeftButton, {}, QPoint(5 * 24 + 5, 5));
    w->TileCtrl->BtCopySelTile->click();

    // A write past the end is refused: the grid's last tile lies beyond 4103 bytes.
    w->BrowCtrl->EdAdd->setText(QStringLiteral("4000"));
    w->BrowCtrl->BtJumpAdd->click();
    state.BrowserAddress = 4096;
    browser->DragToBrowser(5, 5);

    const std::vector<std::uint8_t> after = ReadWholeFile(path);
    ASSERT_EQ(after.size(), original.size());
    std::set<std::size_t> allowed;
    for (std::size_t tile : {0u, 16u, 560u, 1024u, 80u})
        for (std::size_t i = 0; i < 16; ++i)
            allowed.insert(tile + i);
    for (std::size_t offset : Differences(original, after))
        EXPECT_TRUE(allowed.count(offset)) << "byte " << offset << " changed";
    // Cell 0 went to 0, 560, 1024 and 80, each a copy of the painted tile:
    // bit 7 of both planes of row 0 set.
    const std::vector<std::uint8_t> cell0(after.begin(), after.begin() + 16);
    EXPECT_EQ(cell0[0] & cell0[1] & 0x80, 0x80);
    for (std::size_t tile : {560u, 1024u, 80u}) {
        EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + tile, after.begin() + tile + 16), cell0) << tile;
        EXPECT_NE(std::vector<std::uint8_t>(original.begin() + tile, original.begin() + tile + 16), cell0) << tile;
    }
    EXPECT_EQ(after[16] & after[17] & 0x80, 0x80);
}

TEST_F(RomIntegrity, ModeSwitchDoesNotLetSavesOverwriteTheNeighbour)
{
    const std::vector<std::uint8_t> original = RandomRom(4096);
    const std::string path = OpenRom(original);
    state.ShowSaveWarning = false;
    SelectMode(ModeOneBit);
    w->BrowCtrl->EdAdd->setText(QStringLiteral("512"));
    w->BrowCtrl->BtJumpAdd->click();
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));  // tile "A", 8 bytes at 0x200
    ASSERT_EQ(state.EditorSlots[0].Address, 0x200);
    Editor* editor = w->Editor;
    editor->resize(400, 400);
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(5, 5));  // the tile tool takes cell 0
    EXPECT_EQ(w->TileCtrl->LbCellMode->text().toStdString(), "");

    SelectMode(ModeGameboy);
    EXPECT_EQ(w->TileCtrl->LbCellMode->text().toStdString(), "Read as 1 bit per pixel");
    w->EditCtrl->OptionPaint->click();
    state.CurrentColor = 1;
    const std::uint8_t firstRow = original[0x200];
    TilePixels before = state.EditorSlots[0].Pixels;
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(1, 1));  // pixel (0, 0)
    w->EditCtrl->BtSaveEdit->click();
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Saved 1 tiles to file");
    std::vector<std::uint8_t> expected = original;
    expected[0x200] = static_cast<std::uint8_t>(firstRow | (before[0] == 0 ? 0x80 : 0));
    EXPECT_EQ(ReadWholeFile(path), expected);  // tile "B" at 0x208 untouched

    // The tile tool's Save also writes the cell in its own mode.
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(4, 1));  // pixel (1, 0)
    w->TileCtrl->SaveTile->click();
    expected[0x200] |= 0x40;
    EXPECT_EQ(ReadWholeFile(path), expected);

    // Copying to a new place uses the mode shown: 16 bytes at 0x400.
    w->TileCtrl->EdAdd->setText(QStringLiteral("1024"));
    w->TileCtrl->BtCopyToAddress->click();
    const std::vector<std::uint8_t> after = ReadWholeFile(path);
    for (std::size_t offset : Differences(expected, after))
        EXPECT_TRUE(offset >= 1024 && offset < 1040) << offset;

    // Reloaded in the mode shown, the cell takes it over.
    w->TileCtrl->BtReloadTile->click();
    EXPECT_EQ(state.EditorSlots[0].Mode, std::optional<std::uint8_t>(ModeGameboy));
    EXPECT_EQ(w->TileCtrl->LbCellMode->text().toStdString(), "");
}

TEST_F(RomIntegrity, AFileChangedOutsideIsNeverWrittenAndTheUserIsTold)
{
    const std::vector<std::uint8_t> original = RandomRom(4096);
    const std::string path = OpenRom(original);
    SelectMode(ModeGameboy);
    state.ShowSaveWarning = false;
    w->BrowCtrl->EdAdd->setText(QStringLiteral("1024"));
    w->BrowCtrl->BtJumpAdd->click();
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(29, 5));
    ASSERT_EQ(state.EditorSlots[1].Address, 1040);

    // Another program shortens the file: Save all writes nothing and says why once.
    ASSERT_EQ(::truncate(path.c_str(), 200), 0);
    w->EditCtrl->BtSaveEdit->click();
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Saved 0 tiles to file");
    ASSERT_EQ(dialogs.Prompts.size(), 2u);  // the open dialog, then the one report
    EXPECT_EQ(dialogs.Prompts[1].Text, "The file '" + path +
                                           "' was changed, moved or deleted outside Brixel, so nothing was "
                                           "written. Open it again to go on.");
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Could not write to file");
    EXPECT_EQ(std::filesystem::file_size(path), 200u);

    // Deleted: the tile tool's Save creates nothing.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    w->TileCtrl->LoadTile(0);
    w->TileCtrl->SaveTile->click();
    ASSERT_EQ(dialogs.Prompts.size(), 3u);
    EXPECT_EQ(dialogs.Prompts[2].Text, dialogs.Prompts[1].Text);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(RomIntegrity, ReadOnlyRomStaysByteIdentical)
{
    const std::vector<std::uint8_t> original = RandomRom(2048);
    const std::string path = dir.WriteFile("ro.gb", original);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    dialogs.QueueFile({path, 1});
    w->BrowCtrl->BtOpenFile_Click();
    ASSERT_TRUE(state.FileOpen());
    Editor* editor = w->Editor;
    editor->resize(400, 400);

    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));
    w->EditCtrl->OptionFill->click();
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(5, 5));
    w->EditCtrl->BtSaveEdit->click();
    w->TileCtrl->LoadTile(0);
    w->TileCtrl->SaveTile->click();
    w->TileCtrl->BtCopySelTile->click();
    w->Browser->DragToBrowser(30, 30);

    EXPECT_EQ(ReadWholeFile(path), original);
    ASSERT_GE(dialogs.Prompts.size(), 4u);
    for (std::size_t i = 1; i < dialogs.Prompts.size(); ++i) {
        EXPECT_EQ(dialogs.Prompts[i].Text, "The opened file is 'read only'.");
        EXPECT_EQ(dialogs.Prompts[i].Caption, "Could not write to file");
    }
    EXPECT_EQ(form->LbInfo->text().toStdString(), "Saved 0 tiles to file");
}

TEST_F(RomIntegrity, TypicalEditOnTheSampleRom)
{
    // Open, copy a tile, paint a pixel, save all: the browser reads the pixel back.
    const std::filesystem::path sample = std::filesystem::path(BRIXEL_SOURCE_DIR) / "samples" / "sample.gb";
    const std::string copy = (dir.Path() / "sample.gb").string();
    std::filesystem::copy_file(sample, copy);
    const std::vector<std::uint8_t> original = ReadWholeFile(copy);
    dialogs.QueueFile({copy, 1});
    w->BrowCtrl->BtOpenFile_Click();
    SelectMode(ModeGameboy);
    w->BrowCtrl->EdAdd->setText(QStringLiteral("4096"));  // the font
    w->BrowCtrl->BtJumpAdd->click();

    QTest::mouseDClick(w->Browser, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(state.EditorSlots[0].Address, 4096);
    w->Editor->resize(400, 400);
    w->EditCtrl->OptionPaint->click();
    state.CurrentColor = 2;
    QTest::mouseClick(w->Editor, Qt::LeftButton, {}, QPoint(7 * 3 + 1, 7 * 3 + 1));  // pixel (7, 7)
    dialogs.QueueYesNo(true);
    w->EditCtrl->BtSaveEdit->click();

    EXPECT_EQ(form->LbInfo->text().toStdString(), "Saved 1 tiles to file");
    EXPECT_EQ(w->Browser->DecodedPixels()[7 * 8 + 7], 2);
    const auto after = ReadWholeFile(copy);
    EXPECT_EQ(after.size(), original.size());
    for (std::size_t offset : Differences(original, after))
        EXPECT_TRUE(offset >= 4096 + 14 && offset < 4096 + 16) << offset;
}
