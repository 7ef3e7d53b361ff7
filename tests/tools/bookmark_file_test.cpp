#include "support/expect_message.h"
#include "model/tools/bookmark_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes Magic{'B', 'X', 'B'};

BookmarkList ListOf(const std::vector<BookmarkRecord>& marks, BookmarkOrder order = BookmarkOrder::Address)
{
    BookmarkList list;
    list.Marks = marks;
    list.Order = order;
    return list;
}

// One record written out by hand: description, 0, address low byte first.
void AppendRecord(Bytes& bytes, const std::string& description, std::uint32_t address)
{
    bytes.insert(bytes.end(), description.begin(), description.end());
    bytes.push_back(0);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(address >> shift));
}

std::vector<std::string> Descriptions(const std::vector<BookmarkRecord>& marks)
{
    std::vector<std::string> names;
    for (const BookmarkRecord& mark : marks)
        names.push_back(mark.Description);
    return names;
}

std::vector<std::int32_t> Addresses(const std::vector<BookmarkRecord>& marks)
{
    std::vector<std::int32_t> addresses;
    for (const BookmarkRecord& mark : marks)
        addresses.push_back(mark.Address);
    return addresses;
}

}  // namespace

// --- Rows and the two sort orders ---

TEST(BookmarkRows, AddressOrderAndDescriptionOrderTexts)
{
    const BookmarkRecord font{16, "Font"};
    EXPECT_EQ(BookmarkRowText(font, BookmarkOrder::Address), "16 (Font)");
    EXPECT_EQ(BookmarkRowText(font, BookmarkOrder::Description), "Font (16)");
    EXPECT_EQ(BookmarkRowText({-5, "Before"}, BookmarkOrder::Address), "-5 (Before)");
    EXPECT_EQ(BookmarkRowText({INT32_MIN, ""}, BookmarkOrder::Description), " (-2147483648)");
    EXPECT_EQ(BookmarkRowText({1000000, "Big"}, BookmarkOrder::Address), "1000000 (Big)");
}

TEST(BookmarkRows, AddressOrderSortsSignedAscending)
{
    BookmarkList list = ListOf({{512, "c"}, {-1, "b"}, {INT32_MAX, "e"}, {0, "a"}, {INT32_MIN, "d"}, {16, "f"}});
    SortBookmarks(list);
    EXPECT_EQ(BookmarkRows(list),
              (std::vector<std::string>{"-2147483648 (d)", "-1 (b)", "0 (a)", "16 (f)", "512 (c)", "2147483647 (e)"}));
}

TEST(BookmarkRows, DescriptionOrderPutsZebraBeforeApple)
{
    BookmarkList list = ListOf({{3, "apple"}, {1, "Zebra"}, {2, "Apple"}, {4, "zebra"}}, BookmarkOrder::Description);
    SortBookmarks(list);
    EXPECT_EQ(BookmarkRows(list), (std::vector<std::string>{"Apple (2)", "Zebra (1)", "apple (3)", "zebra (4)"}));
}

TEST(BookmarkRows, DescriptionsCompareByUnsignedCharacterCode)
{
    // 0xE9 (e acute in Latin-1) lies above every ASCII letter; a prefix sorts first.
    BookmarkList list =
        ListOf({{1, "\xE9t\xE9"}, {2, "zz"}, {3, "Abc"}, {4, "Ab"}, {5, ""}}, BookmarkOrder::Description);
    SortBookmarks(list);
    EXPECT_EQ(Descriptions(list.Marks), (std::vector<std::string>{"", "Ab", "Abc", "zz", "\xE9t\xE9"}));
}

TEST(BookmarkRows, EqualKeysFollowTheExchangeSort)
{
    // Worked by hand: i=0 swaps with j=1 -> (3b 5a 5c 3d); i=1 swaps with
    // j=3 -> (3b 3d 5c 5a). A stable sort would put 5a before 5c.
    BookmarkList list = ListOf({{5, "a"}, {3, "b"}, {5, "c"}, {3, "d"}});
    SortBookmarks(list);
    EXPECT_EQ(BookmarkRows(list), (std::vector<std::string>{"3 (b)", "3 (d)", "5 (c)", "5 (a)"}));
}

// --- Editing the list ---

TEST(BookmarkEdit, AddStoresNoDescriptionForAnEmptyText)
{
    BookmarkList list;
    list.SelectedIndex = 7;
    ASSERT_TRUE(AddBookmark(list, 64, ""));
    ASSERT_TRUE(AddBookmark(list, 32, "Sprites"));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Marks[0].Description, "No description");
    EXPECT_EQ(list.Marks[0].Address, 64);
    EXPECT_EQ(list.Marks[1].Description, "Sprites");
    EXPECT_EQ(list.SelectedIndex, 0);
}

TEST(BookmarkEdit, AddRefusesWhen255AreHeld)
{
    BookmarkList list;
    for (int i = 0; i < 254; ++i)
        ASSERT_TRUE(AddBookmark(list, i, "m"));
    EXPECT_TRUE(AddBookmark(list, 254, "last"));
    EXPECT_EQ(list.Count(), 255);
    list.SelectedIndex = 9;
    EXPECT_FALSE(AddBookmark(list, 999, "one too many"));
    EXPECT_EQ(list.Marks.size(), 255u);
    EXPECT_EQ(list.Marks.back().Description, "last");
    EXPECT_EQ(list.SelectedIndex, 9);
    EXPECT_EQ(BookmarkListFull.Caption, "Bookmark list full");
}

TEST(BookmarkEdit, DeleteMovesTheLastIntoTheGapAndSortingRestoresOrder)
{
    BookmarkList list = ListOf({{10, "a"}, {20, "b"}, {30, "c"}, {40, "d"}});
    ASSERT_TRUE(DeleteBookmark(list, 1));
    EXPECT_EQ(Addresses(list.Marks), (std::vector<std::int32_t>{10, 40, 30}));
    SortBookmarks(list);
    EXPECT_EQ(BookmarkRows(list), (std::vector<std::string>{"10 (a)", "30 (c)", "40 (d)"}));
}

TEST(BookmarkEdit, DeletingTheOnlyBookmarkEmptiesTheList)
{
    BookmarkList list = ListOf({{10, "a"}});
    ASSERT_TRUE(DeleteBookmark(list, 0));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(BookmarkRows(list).empty());
    EXPECT_EQ(SelectedBookmark(list), nullptr);
}

TEST(BookmarkEdit, DeleteWithoutARowOrOnAnEmptyListDoesNothing)
{
    BookmarkList list = ListOf({{10, "a"}, {20, "b"}});
    EXPECT_FALSE(DeleteBookmark(list, -1));
    EXPECT_FALSE(DeleteBookmark(list, 2));
    EXPECT_EQ(list.Count(), 2);
    BookmarkList empty;
    EXPECT_FALSE(DeleteBookmark(empty, 0));
}

TEST(BookmarkEdit, SelectionNeverPointsPastTheList)
{
    BookmarkList list = ListOf({{10, "a"}, {20, "b"}, {30, "c"}});
    ASSERT_TRUE(SelectBookmark(list, 2));
    ASSERT_TRUE(DeleteBookmark(list, 2));
    ASSERT_NE(SelectedBookmark(list), nullptr);
    EXPECT_EQ(list.SelectedIndex, 1);
    EXPECT_EQ(SelectedBookmark(list)->Address, 20);
    ClearBookmarks(list);
    EXPECT_EQ(list.SelectedIndex, 0);
    EXPECT_EQ(SelectedBookmark(list), nullptr);
}

TEST(BookmarkEdit, SelectAndRenameWorkOnTheSelectedIndex)
{
    BookmarkList list = ListOf({{10, "a"}, {20, "b"}});
    EXPECT_FALSE(SelectBookmark(list, 2));
    EXPECT_FALSE(SelectBookmark(list, -1));
    EXPECT_EQ(list.SelectedIndex, 0);
    ASSERT_TRUE(SelectBookmark(list, 1));
    ASSERT_TRUE(RenameBookmark(list, "Title screen"));
    EXPECT_EQ(list.Marks[1].Description, "Title screen");
    EXPECT_EQ(list.Marks[0].Description, "a");
    BookmarkList empty;
    EXPECT_FALSE(RenameBookmark(empty, "x"));
    EXPECT_TRUE(empty.Marks.empty());
}

TEST(BookmarkEdit, AddressFieldIsReadLenientlyAndRounded)
{
    EXPECT_EQ(BookmarkAddressOf("16"), 16);
    EXPECT_EQ(BookmarkAddressOf("2.5"), 2);
    EXPECT_EQ(BookmarkAddressOf("3.5"), 4);
    EXPECT_EQ(BookmarkAddressOf("&H100"), 256);
    EXPECT_EQ(BookmarkAddressOf(" 1 2x"), 12);
    EXPECT_EQ(BookmarkAddressOf("font"), 0);
    EXPECT_EQ(BookmarkAddressOf("-7"), -7);
    EXPECT_EQ(BookmarkAddressOf("99999999999"), INT32_MAX);
}

TEST(BookmarkEdit, DisplayableNeedsOneWholeTileInsideTheFile)
{
    EXPECT_TRUE(BookmarkDisplayable(32752, 32768, 16));
    EXPECT_FALSE(BookmarkDisplayable(32753, 32768, 16));
    EXPECT_TRUE(BookmarkDisplayable(0, 8, 8));
    EXPECT_FALSE(BookmarkDisplayable(0, 7, 8));
    EXPECT_FALSE(BookmarkDisplayable(0, 0, 8));
    EXPECT_FALSE(BookmarkDisplayable(-1, 32768, 16));
    EXPECT_FALSE(BookmarkDisplayable(INT32_MIN, INT32_MAX, 64));
    EXPECT_TRUE(BookmarkDisplayable(INT32_MAX - 64, INT32_MAX, 64));
}

// --- The .bmk format ---

TEST(BookmarkFile, EmptyListIsExactlyTheMagic)
{
    EXPECT_EQ(BuildBookmarkFile(BookmarkList{}), Magic);
    const BookmarkLoad load = ReadBookmarkFile(Magic);
    EXPECT_FALSE(load.Error.has_value());
    EXPECT_TRUE(load.Marks.empty());
    EXPECT_EQ(load.LeftOut, 0u);
}

TEST(BookmarkFile, RecordsAreWrittenInTableOrder)
{
    const BookmarkList list = ListOf({{16, "Font"}, {-1, "X"}, {0xC0 * 256, ""}});
    const Bytes expected{'B', 'X', 'B',  'F',  'o',  'n',  't', 0,    0x10, 0x00, 0x00, 0x00,
                         'X', 0,   0xFF, 0xFF, 0xFF, 0xFF, 0,   0x00, 0xC0, 0x00, 0x00};
    EXPECT_EQ(BuildBookmarkFile(list), expected);
}

TEST(BookmarkFile, AddressC000RoundTrips)
{
    const Bytes bytes = BuildBookmarkFile(ListOf({{0xC0 * 256, "Map"}}));
    ASSERT_EQ(bytes.size(), 11u);
    EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{0x00, 0xC0, 0x00, 0x00}));
    const BookmarkLoad load = ReadBookmarkFile(bytes);
    ASSERT_EQ(load.Marks.size(), 1u);
    EXPECT_EQ(load.Marks[0].Address, 49152);
    EXPECT_EQ(load.Marks[0].Description, "Map");
}

TEST(BookmarkFile, EveryAddressAndDescriptionSurvives)
{
    const std::vector<BookmarkRecord> marks{{0, "zero"},        {1, "\xE9\xFF"}, {INT32_MAX, "max"},
                                            {INT32_MIN, "min"}, {-2, ""},        {0x01020304, "bytes"}};
    const BookmarkLoad load = ReadBookmarkFile(BuildBookmarkFile(ListOf(marks)));
    ASSERT_FALSE(load.Error.has_value());
    EXPECT_EQ(Addresses(load.Marks), Addresses(marks));
    EXPECT_EQ(Descriptions(load.Marks), Descriptions(marks));
}

TEST(BookmarkFile, ZeroByteInADescriptionEndsItWhenWritten)
{
    const BookmarkList list = ListOf({{5, std::string("ab\0cd", 5)}});
    const Bytes expected{'B', 'X', 'B', 'a', 'b', 0, 5, 0, 0, 0};
    EXPECT_EQ(BuildBookmarkFile(list), expected);
}

TEST(BookmarkFile, RecordCutShortIsDropped)
{
    Bytes whole = Magic;
    AppendRecord(whole, "One", 100);
    AppendRecord(whole, "Two", 200);
    const std::size_t firstEnd = 3 + 4 + 4;
    for (std::size_t length = firstEnd; length < whole.size(); ++length) {
        const BookmarkLoad load = ReadBookmarkFile(Bytes(whole.begin(), whole.begin() + length));
        ASSERT_FALSE(load.Error.has_value()) << length;
        ASSERT_EQ(load.Marks.size(), 1u) << length;
        EXPECT_EQ(load.Marks[0].Description, "One");
        EXPECT_EQ(load.Marks[0].Address, 100);
    }
    EXPECT_EQ(ReadBookmarkFile(whole).Marks.size(), 2u);
}

TEST(BookmarkFile, WrongOrShortMagicIsRefusedAndEmptiesTheList)
{
    for (const Bytes& bytes : {Bytes{}, Bytes{'B', 'X'}, Bytes{'B', 'X', 'P', 0, 1, 2, 3, 4}, Bytes{'b', 'x', 'b'}}) {
        const BookmarkLoad load = ReadBookmarkFile(bytes);
        ExpectMessage(load.Error, "Wrong header bytes", "Not a bookmark file", MsgIcon::Critical);
        EXPECT_TRUE(load.EmptiesList);
        EXPECT_TRUE(load.Marks.empty());
    }
}

TEST(BookmarkFile, KeepsTheFirst255RecordsAndCountsTheRest)
{
    Bytes bytes = Magic;
    for (std::uint32_t i = 0; i < 300; ++i)
        AppendRecord(bytes, "m" + std::to_string(i), i * 16);
    bytes.insert(bytes.end(), {'c', 'u', 't', 0, 1});  // a record cut short is not counted
    const BookmarkLoad load = ReadBookmarkFile(bytes);
    ASSERT_EQ(load.Marks.size(), 255u);
    EXPECT_EQ(load.LeftOut, 45u);
    EXPECT_EQ(load.Marks.front().Description, "m0");
    EXPECT_EQ(load.Marks.back().Description, "m254");
    EXPECT_EQ(load.Marks.back().Address, 254 * 16);
}

TEST(BookmarkFile, LeftOutMessageNamesTheCount)
{
    EXPECT_FALSE(LeftOutMessage(0).has_value());
    ExpectMessage(LeftOutMessage(1),
                  "The bookmark list holds at most 255 bookmarks. The first 255 bookmarks of the file were loaded; 1 "
                  "bookmark was left out.",
                  "Bookmark list full", MsgIcon::Information);
    ExpectMessage(LeftOutMessage(45),
                  "The bookmark list holds at most 255 bookmarks. The first 255 bookmarks of the file were loaded; 45 "
                  "bookmarks were left out.",
                  "Bookmark list full", MsgIcon::Information);
}

// --- Loading into the list ---

TEST(BookmarkApply, RecordsReplaceTheListAndKeepTheSelectionInside)
{
    BookmarkList list = ListOf({{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}});
    list.SelectedIndex = 3;
    Bytes bytes = Magic;
    AppendRecord(bytes, "x", 7);
    AppendRecord(bytes, "y", 8);
    ApplyBookmarkLoad(list, ReadBookmarkFile(bytes));
    EXPECT_EQ(Descriptions(list.Marks), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(list.SelectedIndex, 1);
}

TEST(BookmarkApply, WrongHeaderEmptiesOtherRefusalsKeep)
{
    BookmarkList list = ListOf({{1, "a"}});
    BookmarkLoad missing;
    missing.Error = UserMessage{"m", "c", MsgIcon::None};
    ApplyBookmarkLoad(list, missing);
    EXPECT_EQ(list.Count(), 1);
    ApplyBookmarkLoad(list, ReadBookmarkFile(Bytes{'N', 'O', 'T'}));
    EXPECT_EQ(list.Count(), 0);
}

// --- Files on disk ---

TEST(BookmarkFileIo, SaveWritesTheBuiltBytes)
{
    TempDir dir;
    const std::string path = (dir.Path() / "marks.bmk").string();
    const BookmarkList list = ListOf({{49152, "Map"}, {16, "Font"}});
    EXPECT_FALSE(SaveBookmarkFile(path, list).has_value());
    Bytes expected = Magic;
    AppendRecord(expected, "Map", 49152);
    AppendRecord(expected, "Font", 16);
    EXPECT_EQ(ReadWholeFile(path), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(BookmarkFileIo, SaveReplacesAnOlderFile)
{
    TempDir dir;
    const std::string path = dir.WriteFile("old.bmk", Bytes(100, 0xAA));
    EXPECT_FALSE(SaveBookmarkFile(path, BookmarkList{}).has_value());
    EXPECT_EQ(ReadWholeFile(path), Magic);
}

TEST(BookmarkFileIo, SaveIntoAMissingFolderTellsTheUser)
{
    TempDir dir;
    const std::string path = (dir.Path() / "nowhere" / "marks.bmk").string();
    const auto failure = SaveBookmarkFile(path, ListOf({{1, "a"}}));
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Text.rfind("Could not save the bookmark file '" + path + "': ", 0), 0u) << failure->Text;
    EXPECT_EQ(failure->Caption, "Saving failed");
    EXPECT_EQ(failure->Icon, MsgIcon::Critical);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(BookmarkFileIo, ThreeByteFileLoadsAnEmptyList)
{
    TempDir dir;
    const std::string path = (dir.Path() / "empty.bmk").string();
    ASSERT_FALSE(SaveBookmarkFile(path, BookmarkList{}).has_value());
    EXPECT_EQ(std::filesystem::file_size(path), 3u);
    const BookmarkLoad load = LoadBookmarkFile(path);
    EXPECT_FALSE(load.Error.has_value());
    EXPECT_TRUE(load.Marks.empty());
}

TEST(BookmarkFileIo, MissingFileAndFolderAreReported)
{
    TempDir dir;
    for (const std::string& path : {(dir.Path() / "none.bmk").string(), dir.Path().string(), std::string()}) {
        const BookmarkLoad load = LoadBookmarkFile(path);
        ExpectMessage(load.Error, "Could not find the selected file.", "Loading process aborted", MsgIcon::None);
        EXPECT_FALSE(load.EmptiesList);
    }
}

TEST(BookmarkFileIo, FileLargerThanTheLimitIsRefused)
{
    TempDir dir;
    const std::string path = dir.WriteFile("huge.bmk", Magic);
    std::filesystem::resize_file(path, BookmarkReadLimit + 1);
    ExpectMessage(LoadBookmarkFile(path).Error, "The selected file is too large for a bookmark file.",
                  "Loading process aborted", MsgIcon::Critical);
    std::filesystem::resize_file(path, BookmarkReadLimit);
    // At the limit the file is read: its zeros are records of 5 bytes with
    // an empty description at address 0.
    const BookmarkLoad atLimit = LoadBookmarkFile(path);
    EXPECT_FALSE(atLimit.Error.has_value());
    ASSERT_EQ(atLimit.Marks.size(), 255u);
    EXPECT_EQ(atLimit.Marks[254].Address, 0);
    EXPECT_EQ(atLimit.LeftOut, (BookmarkReadLimit - 3) / 5 - 255);
}

TEST(BookmarkFileIo, UnreadableFileIsReported)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser reads any file";
    TempDir dir;
    const std::string path = dir.WriteFile("locked.bmk", Magic);
    std::filesystem::permissions(path, std::filesystem::perms::none);
    ExpectMessage(LoadBookmarkFile(path).Error, "Could not read the selected file.", "Loading process aborted",
                  MsgIcon::Critical);
}
