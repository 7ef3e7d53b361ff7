// The bookmark file (.bmk). The reader and the file loader agree; only a
// wrong magic refuses a file (and empties the list); every complete record
// is read, the first 255 kept and the rest counted as left out; saving the
// list writes the bytes it was read from, and a saved file loads back the
// same; sorting keeps the bookmarks and puts them in order.

#include "fuzz_support.h"
#include "model/tools/bookmark_file.h"

#include <algorithm>
#include <tuple>

namespace {

bool SameMarks(const std::vector<BookmarkRecord>& a, const std::vector<BookmarkRecord>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const BookmarkRecord& x, const BookmarkRecord& y) {
        return x.Address == y.Address && x.Description == y.Description;
    });
}

bool SameLoad(const BookmarkLoad& a, const BookmarkLoad& b)
{
    if (a.Error.has_value() != b.Error.has_value() || a.EmptiesList != b.EmptiesList || a.LeftOut != b.LeftOut)
        return false;
    if (a.Error && (a.Error->Text != b.Error->Text || a.Error->Caption != b.Error->Caption))
        return false;
    return SameMarks(a.Marks, b.Marks);
}

// The records ordered by address, then description: two lists hold the
// same records when these agree.
std::vector<BookmarkRecord> InKeyOrder(std::vector<BookmarkRecord> marks)
{
    std::sort(marks.begin(), marks.end(), [](const BookmarkRecord& x, const BookmarkRecord& y) {
        return std::tie(x.Address, x.Description) < std::tie(y.Address, y.Description);
    });
    return marks;
}

bool Unsigned(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const BookmarkLoad load = ReadBookmarkFile(bytes);
    CHECK(SameLoad(load, LoadBookmarkFile(WriteTempFile("input.bmk", bytes))));

    const bool magic = size >= 3 && data[0] == 'B' && data[1] == 'X' && data[2] == 'B';
    CHECK(load.Error.has_value() != magic && load.EmptiesList != magic);
    if (!magic) {
        CHECK(load.Marks.empty());
        return 0;
    }
    CHECK(load.Marks.size() <= MaxBookmarkCount && (load.LeftOut == 0 || load.Marks.size() == MaxBookmarkCount));

    // Records follow each other: description, 0, four address bytes.
    std::size_t position = 3;
    std::size_t records = 0;
    for (;;) {
        const auto terminator = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(position), bytes.end(), 0);
        const auto end = static_cast<std::size_t>(terminator - bytes.begin());
        if (terminator == bytes.end() || end + 5 > size)
            break;
        if (records < load.Marks.size()) {
            const BookmarkRecord& mark = load.Marks[records];
            const std::uint32_t stored =
                data[end + 1] | data[end + 2] << 8 | data[end + 3] << 16 | std::uint32_t{data[end + 4]} << 24;
            CHECK(mark.Description == std::string(data + position, data + end));
            CHECK(mark.Address == static_cast<std::int32_t>(stored));
        }
        ++records;
        position = end + 5;
    }
    CHECK(records == load.Marks.size() + load.LeftOut);

    BookmarkList list;
    list.SelectedIndex = 200;
    ApplyBookmarkLoad(list, load);
    CHECK(SameMarks(list.Marks, load.Marks) && (list.Marks.empty() || list.SelectedIndex < list.Count()));
    const Bytes built = BuildBookmarkFile(list);
    if (load.LeftOut == 0)
        CHECK(built == Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(position)));
    const std::string saved = TempPath("saved.bmk");
    CHECK(!SaveBookmarkFile(saved, list));
    CHECK(FileContents(saved) == built);
    const BookmarkLoad reloaded = LoadBookmarkFile(saved);
    CHECK(!reloaded.Error && reloaded.LeftOut == 0 && SameMarks(reloaded.Marks, load.Marks));

    for (const BookmarkOrder order : {BookmarkOrder::Address, BookmarkOrder::Description}) {
        BookmarkList sorted = list;
        sorted.Order = order;
        SortBookmarks(sorted);
        CHECK(SameMarks(InKeyOrder(sorted.Marks), InKeyOrder(list.Marks)));
        for (std::size_t i = 1; i < sorted.Marks.size(); ++i) {
            const BookmarkRecord& before = sorted.Marks[i - 1];
            const BookmarkRecord& after = sorted.Marks[i];
            CHECK(order == BookmarkOrder::Address ? before.Address <= after.Address
                                                  : !Unsigned(after.Description, before.Description));
        }
    }
    return 0;
}
