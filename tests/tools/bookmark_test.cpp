#include "ui/tools/bookmark.h"

#include "model/core/program_state.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_shell.h"
#include "support/viewer_fixture.h"
#include "ui/browser/brow_ctrl.h"
#include "ui/browser/browser.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const char* const Filter = "Brixel bookmark file (*.bmk)|*.bmk|All files (*.*)|*.*";

std::vector<std::string> Rows(const Bookmark& window)
{
    std::vector<std::string> rows;
    for (int i = 0; i < window.ListMarks->count(); ++i)
        rows.push_back(window.ListMarks->item(i)->text().toStdString());
    return rows;
}

void AppendRecord(Bytes& bytes, const std::string& description, std::uint32_t address)
{
    bytes.insert(bytes.end(), description.begin(), description.end());
    bytes.push_back(0);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(address >> shift));
}

void ClickRow(Bookmark& window, int row)
{
    QListWidget* list = window.ListMarks;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// Dialogs that run a step of the test while the save dialog is open.
class DialogsWithHook : public ScriptedDialogs {
public:
    std::function<void()> WhileOpen;
    FileChoice SaveFile(const std::string& filter) override
    {
        if (WhileOpen)
            WhileOpen();
        return ScriptedDialogs::SaveFile(filter);
    }
};

// The window on its own: no browser and no control panel.
class BookmarkWindow : public ::testing::Test {
protected:
    BookmarkWindow() { InitState(state); }
    void TearDown() override { EXPECT_TRUE(dialogs.AllAnswersUsed()); }

    // Adds through the window's own buttons; without a control panel the
    // address field reads as 0, so the address is set by hand afterwards.
    void AddNamed(const std::string& name)
    {
        window.TextName->setText(QString::fromStdString(name));
        window.BtAddBookmark->click();
    }

    void ExpectOnlyMessage(const std::string& text, const std::string& caption, MsgIcon icon)
    {
        ASSERT_EQ(dialogs.Prompts.size(), 1u);
        EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::Message);
        EXPECT_EQ(dialogs.Prompts[0].Text, text);
        EXPECT_EQ(dialogs.Prompts[0].Caption, caption);
        EXPECT_EQ(dialogs.Prompts[0].Icon, icon);
    }

    TempDir dir;
    ProgramState state;
    DialogsWithHook dialogs;
    TestShell shell;
    Windows windows{dialogs, shell};
    Bookmark window{state, windows};
};

// The window beside the real main window, browser and control panel.
class BookmarkInViewer : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        bookmarks = std::make_unique<Bookmark>(state, *w);
    }

    void AddAt(const char* field, const char* name)
    {
        w->BrowCtrl->EdAdd->setText(QString::fromLatin1(field));
        bookmarks->TextName->setText(QString::fromLatin1(name));
        bookmarks->BtAddBookmark->click();
    }

    std::unique_ptr<Bookmark> bookmarks;
};

// 4096 bytes of 0 with 0xFF from 4088 on: in "1 bit per pixel" the last
// tile is all color 1, every other tile color 0.
Bytes RomWithMarkedLastTile()
{
    Bytes rom(4096, 0);
    std::fill(rom.begin() + 4088, rom.end(), 0xFF);
    return rom;
}

}  // namespace

// --- The window and its controls ---

TEST_F(BookmarkWindow, CaptionToolTipsAndFrame)
{
    EXPECT_EQ(window.windowTitle().toStdString(), "Bookmark Tool");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(window.BtAddBookmark->toolTip().toStdString(), "Add the selected tile's address as a bookmark");
    EXPECT_EQ(window.BtDelBookmark->toolTip().toStdString(), "Deletes the selected bookmark");
    EXPECT_EQ(window.BtGotoBookmark->toolTip().toStdString(), "Jump to the selected bookmark");
    EXPECT_EQ(window.BtLoadBookmark->toolTip().toStdString(), "Load bookmarks from file");
    EXPECT_EQ(window.BtSaveBookmark->toolTip().toStdString(), "Save bookmarks to file");
    EXPECT_EQ(window.BtNewList->toolTip().toStdString(), "Clear the bookmark list");
    EXPECT_EQ(window.ChkOrder->toolTip().toStdString(), "Sort the bookmarks by their address/description");
    EXPECT_EQ(window.TextName->toolTip().toStdString(), "This is the description of the selected bookmark");
    EXPECT_EQ(window.ListMarks->toolTip().toStdString(), "Bookmarks are displayed here");
    const auto frames = window.findChildren<QGroupBox*>();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0]->title().toStdString(), "Bookmark Control");
    EXPECT_EQ(window.ListMarks->count(), 0);
    EXPECT_FALSE(window.ChkOrder->isChecked());
}

TEST_F(BookmarkWindow, DeactivationHidesAndKeepsTheList)
{
    AddNamed("Font");
    window.ShowTool();
    EXPECT_TRUE(window.isVisible());
    window.Form_Deactivate();
    EXPECT_FALSE(window.isVisible());
    window.ShowTool();
    EXPECT_EQ(Rows(window), (std::vector<std::string>{"0 (Font)"}));
}

TEST_F(BookmarkWindow, OwnDialogDoesNotHideTheWindow)
{
    window.ShowTool();
    bool visibleDuringDialog = false;
    dialogs.WhileOpen = [&] {
        window.Form_Deactivate();  // the dialog took the activation
        visibleDuringDialog = window.isVisible();
    };
    dialogs.QueueFile({});
    window.BtSaveBookmark->click();
    EXPECT_TRUE(visibleDuringDialog);
    window.Form_Deactivate();  // a click elsewhere afterwards
    EXPECT_FALSE(window.isVisible());
}

// --- Editing the list through the window ---

TEST_F(BookmarkWindow, EmptyDescriptionIsStoredAsNoDescription)
{
    AddNamed("");
    EXPECT_EQ(Rows(window), (std::vector<std::string>{"0 (No description)"}));
    EXPECT_TRUE(dialogs.Prompts.empty());
}

TEST_F(BookmarkWindow, ClickShowsTheDescriptionAndRenameByDoubleClick)
{
    AddNamed("Font");
    AddNamed("Map");
    window.ChkOrder->click();
    ASSERT_EQ(Rows(window), (std::vector<std::string>{"Font (0)", "Map (0)"}));
    window.TextName->clear();
    ClickRow(window, 1);
    EXPECT_EQ(window.TextName->text().toStdString(), "Map");
    EXPECT_EQ(window.Marks().SelectedIndex, 1);
    window.TextName->setText(QStringLiteral("Enemies"));
    QTest::mouseDClick(window.TextName, Qt::LeftButton);
    EXPECT_EQ(Rows(window), (std::vector<std::string>{"Enemies (0)", "Font (0)"}));
}

TEST_F(BookmarkWindow, DeleteNeedsAClickedRow)
{
    AddNamed("a");
    AddNamed("b");
    AddNamed("c");
    ASSERT_EQ(window.ListMarks->currentRow(), -1);
    window.BtDelBookmark->click();
    EXPECT_EQ(window.ListMarks->count(), 3);
    window.ChkOrder->click();
    ClickRow(window, 0);
    window.BtDelBookmark->click();
    EXPECT_EQ(Rows(window), (std::vector<std::string>{"b (0)", "c (0)"}));
    ClickRow(window, 1);
    window.BtDelBookmark->click();
    ClickRow(window, 0);
    window.BtDelBookmark->click();
    EXPECT_EQ(window.ListMarks->count(), 0);
    window.BtDelBookmark->click();
    EXPECT_TRUE(dialogs.Prompts.empty());
}

TEST_F(BookmarkWindow, OrderSwitchResortsTheRows)
{
    AddNamed("zebra");
    AddNamed("Zebra");
    AddNamed("apple");
    window.ChkOrder->click();
    EXPECT_EQ(Rows(window), (std::vector<std::string>{"Zebra (0)", "apple (0)", "zebra (0)"}));
    window.ChkOrder->click();
    EXPECT_EQ(window.Marks().Order, BookmarkOrder::Address);
    EXPECT_EQ(window.ListMarks->count(), 3);
    EXPECT_EQ(window.ListMarks->item(0)->text().left(3).toStdString(), "0 (");
}

TEST_F(BookmarkWindow, FullListSaysSoAndAddsNothing)
{
    for (int i = 0; i < 255; ++i)
        AddNamed("m");
    ASSERT_EQ(window.ListMarks->count(), 255);
    EXPECT_TRUE(dialogs.Prompts.empty());
    AddNamed("extra");
    EXPECT_EQ(window.ListMarks->count(), 255);
    ExpectOnlyMessage("The bookmark list is full: it holds at most 255 bookmarks.\r"
                      "Delete a bookmark before you add another one.",
                      "Bookmark list full", MsgIcon::Information);
}

TEST_F(BookmarkWindow, NewListEmptiesIt)
{
    AddNamed("a");
    AddNamed("b");
    window.BtNewList->click();
    EXPECT_EQ(window.ListMarks->count(), 0);
    EXPECT_EQ(window.Marks().Count(), 0);
}

TEST_F(BookmarkWindow, GotoWithAnEmptyListDoesNothing)
{
    window.BtGotoBookmark->click();
    EXPECT_TRUE(dialogs.Prompts.empty());
    EXPECT_EQ(state.BrowserAddress, 0);
}

// --- Save and load ---

TEST_F(BookmarkWindow, SaveWritesTheListInTableOrder)
{
    AddNamed("Map");
    AddNamed("Font");
    window.ChkOrder->click();
    const std::string path = (dir.Path() / "marks.bmk").string();
    dialogs.QueueFile({path, 1});
    window.BtSaveBookmark->click();
    ASSERT_EQ(dialogs.Prompts.size(), 1u);
    EXPECT_EQ(dialogs.Prompts[0].PromptKind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(dialogs.Prompts[0].Text, Filter);
    Bytes expected{'B', 'X', 'B'};
    AppendRecord(expected, "Font", 0);
    AppendRecord(expected, "Map", 0);
    EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST_F(BookmarkWindow, EmptyListSavesThreeBytesAndLoadsBackEmpty)
{
    const std::string path = (dir.Path() / "empty.bmk").string();
    dialogs.QueueFile({path, 1});
    window.BtSaveBookmark->click();
    EXPECT_EQ(ReadWholeFile(path), (Bytes{'B', 'X', 'B'}));
    AddNamed("gone");
    dialogs.QueueFile({path, 1});
    window.BtLoadBookmark->click();
    EXPECT_EQ(window.ListMarks->count(), 0);
    EXPECT_EQ(dialogs.Prompts.size(), 2u);  // the two file dialogs, no message
}

TEST_F(BookmarkWindow, CancelledDialogsChangeNothing)
{
    AddNamed("kept");
    dialogs.QueueFile({});
    window.BtSaveBookmark->click();
    dialogs.QueueFile({});
    window.BtLoadBookmark->click();
    EXPECT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].PromptKind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(dialogs.Prompts[1].Text, Filter);
    EXPECT_EQ(Rows(window), (std::vector<std::string>{"0 (kept)"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST_F(BookmarkWindow, SaveThatFailsTellsTheUser)
{
    const std::string path = (dir.Path() / "missing" / "marks.bmk").string();
    dialogs.QueueFile({path, 1});
    window.BtSaveBookmark->click();
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Saving failed");
    EXPECT_EQ(dialogs.Prompts[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.Prompts[1].Text.rfind("Could not save the bookmark file '" + path + "': ", 0), 0u);
}

TEST_F(BookmarkWindow, LoadReplacesTheListAndSortsIt)
{
    AddNamed("old");
    Bytes bytes{'B', 'X', 'B'};
    AppendRecord(bytes, "Map", 0xC0 * 256);
    AppendRecord(bytes, "Font", 16);
    AppendRecord(bytes, "Before", static_cast<std::uint32_t>(-8));
    bytes.insert(bytes.end(), {'c', 'u', 't', 0, 1, 2});
    dialogs.QueueFile({dir.WriteFile("marks.bmk", bytes), 1});
    window.BtLoadBookmark->click();
    EXPECT_EQ(Rows(window), (std::vector<std::string>{"-8 (Before)", "16 (Font)", "49152 (Map)"}));
    EXPECT_EQ(dialogs.Prompts.size(), 1u);
}

TEST_F(BookmarkWindow, MissingFileLeavesTheList)
{
    AddNamed("kept");
    dialogs.QueueFile({(dir.Path() / "none.bmk").string(), 1});
    window.BtLoadBookmark->click();
    EXPECT_EQ(Rows(window), (std::vector<std::string>{"0 (kept)"}));
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].Text, "Could not find the selected file.");
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Loading process aborted");
    EXPECT_EQ(dialogs.Prompts[1].Icon, MsgIcon::None);
}

TEST_F(BookmarkWindow, WrongHeaderEmptiesTheList)
{
    AddNamed("gone");
    dialogs.QueueFile({dir.WriteFile("palette.bxp", Bytes{'B', 'X', 'P', 'a', 0, 1, 0, 0, 0}), 1});
    window.BtLoadBookmark->click();
    EXPECT_EQ(window.ListMarks->count(), 0);
    EXPECT_EQ(window.Marks().Count(), 0);
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].Text, "Wrong header bytes");
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Not a bookmark file");
    EXPECT_EQ(dialogs.Prompts[1].Icon, MsgIcon::Critical);
}

TEST_F(BookmarkWindow, LoadOfMoreThan255KeepsTheFirstAndSaysHowManyWereLeftOut)
{
    Bytes bytes{'B', 'X', 'B'};
    for (std::uint32_t i = 0; i < 258; ++i)
        AppendRecord(bytes, "m", 1000 - i);
    dialogs.QueueFile({dir.WriteFile("many.bmk", bytes), 1});
    window.BtLoadBookmark->click();
    ASSERT_EQ(window.ListMarks->count(), 255);
    // The kept records are 1000 down to 746, shown ascending.
    EXPECT_EQ(window.ListMarks->item(0)->text().toStdString(), "746 (m)");
    EXPECT_EQ(window.ListMarks->item(254)->text().toStdString(), "1000 (m)");
    ASSERT_EQ(dialogs.Prompts.size(), 2u);
    EXPECT_EQ(dialogs.Prompts[1].Text, "The bookmark list holds at most 255 bookmarks. The first 255 bookmarks of the "
                                       "file were loaded; 3 bookmarks were left out.");
    EXPECT_EQ(dialogs.Prompts[1].Caption, "Bookmark list full");
}

// --- With the browser and its control panel ---

TEST_F(BookmarkInViewer, AddReadsTheControlPanelsAddressField)
{
    AddAt("2.5", "");
    AddAt("&H4000", "Map");
    AddAt("16", "Font");
    EXPECT_EQ(Rows(*bookmarks), (std::vector<std::string>{"2 (No description)", "16 (Font)", "16384 (Map)"}));
    EXPECT_EQ(bookmarks->Marks().SelectedIndex, 0);
}

TEST_F(BookmarkInViewer, GotoSendsTheBrowserToTheSelectedBookmark)
{
    OpenRom(RomWithMarkedLastTile());
    ASSERT_EQ(w->Browser->DecodedPixels()[0], 0);
    AddAt("16", "Early");
    AddAt("4088", "Last tile");
    ClickRow(*bookmarks, 1);
    bookmarks->BtGotoBookmark->click();
    EXPECT_EQ(state.BrowserAddress, 4088);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(w->Browser->DecodedPixels()[i], 1) << i;
    EXPECT_EQ(dialogs.Prompts.size(), 1u);  // the open dialog only
}

TEST_F(BookmarkInViewer, DoubleClickOnARowGoesThere)
{
    OpenRom(RomWithMarkedLastTile());
    AddAt("8", "a");
    AddAt("24", "b");
    QListWidget* list = bookmarks->ListMarks;
    const QPoint centre = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(state.BrowserAddress, 24);
}

TEST_F(BookmarkInViewer, GotoPastTheLastTileIsRefused)
{
    OpenRom(RomWithMarkedLastTile());
    AddAt("4089", "Too far");
    AddAt("-8", "Before the file");
    for (int row = 0; row < 2; ++row) {
        ClickRow(*bookmarks, row);
        bookmarks->BtGotoBookmark->click();
        EXPECT_EQ(state.BrowserAddress, 0);
        EXPECT_EQ(w->Browser->DecodedPixels()[0], 0);
        EXPECT_EQ(dialogs.Prompts.back().Text, "The browser was not able to display the selected bookmark.");
        EXPECT_EQ(dialogs.Prompts.back().Caption, "Could not goto bookmark");
        EXPECT_EQ(dialogs.Prompts.back().Icon, MsgIcon::None);
    }
    EXPECT_EQ(dialogs.Prompts.size(), 3u);
}

TEST_F(BookmarkInViewer, LimitFollowsTheModesTileSize)
{
    OpenRom(RomWithMarkedLastTile());
    SelectMode(ModeGameboy);  // 16 bytes a tile
    ASSERT_EQ(CurrentModeInfo(state).BytesPerTile, 16);
    AddAt("4088", "Half a tile");
    AddAt("4080", "Whole tile");
    ClickRow(*bookmarks, 1);
    bookmarks->BtGotoBookmark->click();
    EXPECT_EQ(dialogs.Prompts.back().Caption, "Could not goto bookmark");
    ClickRow(*bookmarks, 0);
    bookmarks->BtGotoBookmark->click();
    EXPECT_EQ(state.BrowserAddress, 4080);
}

TEST_F(BookmarkInViewer, DeletedBookmarkCannotBeVisited)
{
    OpenRom(RomWithMarkedLastTile());
    AddAt("8", "a");
    AddAt("16", "b");
    AddAt("32", "c");
    ClickRow(*bookmarks, 2);
    bookmarks->BtDelBookmark->click();
    bookmarks->BtGotoBookmark->click();
    EXPECT_EQ(state.BrowserAddress, 16);
}
