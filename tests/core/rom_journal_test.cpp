#include "model/core/rom_file.h"
#include "model/core/rom_journal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Heard {
    std::int64_t Offset;
    Bytes Before;
    Bytes After;
};

class WriteListener : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = dir_.WriteFile("game.gb", CountingBytes(64));
        ASSERT_TRUE(file_.Open(path_).Opened());
        file_.SetWriteListener(
            [this](std::int64_t offset, std::span<const std::uint8_t> before, std::span<const std::uint8_t> after) {
                heard_.push_back({offset, {before.begin(), before.end()}, {after.begin(), after.end()}});
            });
    }

    TempDir dir_;
    std::string path_;
    RomFile file_;
    std::vector<Heard> heard_;
};

TEST_F(WriteListener, HearsEachWholeWriteWithTheBytesItReplaced)
{
    const Bytes block{0xA0, 0xA1, 0xA2};
    ASSERT_TRUE(file_.WriteAt(61, block.data(), block.size()));
    const Bytes second{0xB0};
    ASSERT_TRUE(file_.WriteAt(61, second.data(), second.size()));

    ASSERT_EQ(heard_.size(), 2u);
    EXPECT_EQ(heard_[0].Offset, 61);
    EXPECT_EQ(heard_[0].Before, (Bytes{61, 62, 63}));
    EXPECT_EQ(heard_[0].After, block);
    EXPECT_EQ(heard_[1].Before, (Bytes{0xA0}));
    EXPECT_EQ(heard_[1].After, second);
}

TEST_F(WriteListener, RefusedFailedAndUntoldWritesAreNotHeard)
{
    const Bytes block{1, 2, 3, 4};
    // Past the end, before the start.
    EXPECT_FALSE(file_.WriteAt(62, block.data(), block.size()));
    EXPECT_FALSE(file_.WriteAt(-1, block.data(), block.size()));

    // The disk refuses at once: nothing changed.
    file_.SetWriterForTesting([](int, const void*, std::size_t, off_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    EXPECT_EQ(file_.WriteAt(0, block.data(), block.size()).Status, RomWriteStatus::Failed);
    file_.SetWriterForTesting({});

    {
        RomFile::UntoldWrites untold(file_);
        EXPECT_TRUE(file_.WriteAt(0, block.data(), block.size()));
    }
    EXPECT_TRUE(heard_.empty());

    // Told again once the scope is gone; the listener survives a reopen.
    file_.Close();
    ASSERT_TRUE(file_.Open(path_).Opened());
    EXPECT_TRUE(file_.WriteAt(4, block.data(), block.size()));
    ASSERT_EQ(heard_.size(), 1u);
    EXPECT_EQ(heard_[0].Before, (Bytes{4, 5, 6, 7}));

    // A file opened for reading only refuses without a word.
    ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
    ASSERT_EQ(file_.Open(path_).Status, RomFile::OpenStatus::OpenedReadOnly);
    EXPECT_FALSE(file_.WriteAt(0, block.data(), block.size()));
    // A deleted file refuses too.
    ASSERT_EQ(::chmod(path_.c_str(), 0644), 0);
    ASSERT_TRUE(file_.Open(path_).Opened());
    ASSERT_EQ(::unlink(path_.c_str()), 0);
    EXPECT_EQ(file_.WriteAt(0, block.data(), block.size()).Status, RomWriteStatus::FileChanged);
    EXPECT_EQ(heard_.size(), 1u);
}

class Journal : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = dir_.WriteFile("game.gb", CountingBytes(64));
        ASSERT_TRUE(file_.Open(path_).Opened());
        journal_.SetWriteHandler([this](RomWrite write) { heard_.push_back(std::move(write)); });
    }

    void Write(std::int64_t offset, const Bytes& bytes)
    {
        ASSERT_TRUE(file_.WriteAt(offset, bytes.data(), bytes.size()));
    }

    TempDir dir_;
    std::string path_;
    RomFile file_;
    RomJournal journal_{file_};
    std::vector<RomWrite> heard_;
};

TEST_F(Journal, KeepsTheValueAtTheOpenOfEveryChangedByte)
{
    Write(10, {0xA0, 0xA1, 0xA2});
    Write(11, {0xB1, 0xB2, 0xB3});  // overlaps: 11 and 12 keep their first value
    Write(9, {0xC9});
    Write(10, {10});  // back to the original value; may stay in the map
    const OriginalByteMap expected{{9, 9}, {10, 10}, {11, 11}, {12, 12}, {13, 13}};
    EXPECT_EQ(journal_.OriginalBytes(), expected);
    // Each write is handed on as it was made.
    ASSERT_EQ(heard_.size(), 4u);
    EXPECT_EQ(heard_[1].Offset, 11);
    EXPECT_EQ(heard_[1].Before, (Bytes{0xA1, 0xA2, 13}));
    EXPECT_EQ(heard_[1].After, (Bytes{0xB1, 0xB2, 0xB3}));

    journal_.Reset();
    EXPECT_TRUE(journal_.OriginalBytes().Empty());
    Write(12, {0x01});
    EXPECT_EQ(journal_.OriginalBytes(), (OriginalByteMap{{12, 0xB2}}));
}

TEST(JournalLifetime, StopsListeningWhenItGoes)
{
    TempDir dir;
    const std::string path = dir.WriteFile("game.gb", CountingBytes(16));
    RomFile file;
    ASSERT_TRUE(file.Open(path).Opened());
    int heard = 0;
    {
        RomJournal journal(file);
        journal.SetWriteHandler([&](RomWrite) { ++heard; });
        const Bytes one{1};
        ASSERT_TRUE(file.WriteAt(0, one.data(), one.size()));
    }
    const Bytes two{2};
    EXPECT_TRUE(file.WriteAt(0, two.data(), two.size()));  // no dangling listener
    EXPECT_EQ(heard, 1);
}

// Writes laid out the ways a journal meets them: each is an offset and a
// length, the values coming from the write's number so overlapping writes
// disagree.
struct Layout {
    const char* Name;
    std::vector<std::pair<std::int64_t, std::size_t>> Writes;
};

std::vector<Layout> Layouts(std::int64_t bytes)
{
    std::mt19937 random(3);
    std::vector<Layout> layouts{{"one stretch in 4 KiB writes", {}},
                                {"one write of it all", {{7, static_cast<std::size_t>(bytes)}}},
                                {"tiles scattered over 64 MiB", {}},
                                {"64-byte writes overlapping", {}},
                                {"tiles written backwards", {}}};
    for (std::int64_t at = 0; at < bytes; at += 4096)
        layouts[0].Writes.push_back({at, 4096});
    for (std::int64_t i = 0; i < bytes / 16; ++i)
        layouts[2].Writes.push_back({16 * static_cast<std::int64_t>(random() % (4 << 20)), 16});
    for (std::int64_t i = 0; i < bytes / 16; ++i)
        layouts[3].Writes.push_back({static_cast<std::int64_t>(random() % static_cast<std::uint32_t>(bytes)), 64});
    for (std::int64_t at = bytes - 16; at >= 0; at -= 16)
        layouts[4].Writes.push_back({at, 16});
    return layouts;
}

OriginalByteMap Recorded(const Layout& layout, std::map<std::int64_t, std::uint8_t>* reference = nullptr)
{
    OriginalByteMap map;
    Bytes values;
    for (std::size_t w = 0; w < layout.Writes.size(); ++w) {
        const auto [offset, size] = layout.Writes[w];
        values.resize(size);
        for (std::size_t i = 0; i < size; ++i)
            values[i] = static_cast<std::uint8_t>(w * 31 + i);
        map.Record(offset, values);
        if (reference)
            for (std::size_t i = 0; i < size; ++i)
                reference->try_emplace(offset + static_cast<std::int64_t>(i), values[i]);
    }
    return map;
}

TEST(OriginalBytes, KeepTheFirstValueOfEveryOffsetHoweverTheWritesFall)
{
    std::mt19937 random(11);
    for (const Layout& layout : Layouts(128 * 1024)) {
        SCOPED_TRACE(layout.Name);
        std::map<std::int64_t, std::uint8_t> reference;
        const OriginalByteMap map = Recorded(layout, &reference);
        ASSERT_EQ(map.Size(), static_cast<std::int64_t>(reference.size()));
        ASSERT_TRUE(std::equal(map.begin(), map.end(), reference.begin(), reference.end(),
                               [](const auto& kept, const auto& expected) {
                                   return kept.first == expected.first && kept.second == expected.second;
                               }));

        const std::int64_t last = reference.rbegin()->first;
        for (int probe = 0; probe < 2000; ++probe) {
            const auto offset = static_cast<std::int64_t>(random() % static_cast<std::uint32_t>(last + 2));
            const auto known = reference.find(offset);
            ASSERT_EQ(map.Find(offset), known == reference.end() ? std::nullopt : std::optional(known->second))
                << offset;
            // The end of the known bytes below offset.
            const auto below = reference.lower_bound(offset);
            ASSERT_EQ(map.EndBelow(offset), below == reference.begin() ? 0 : std::prev(below)->first + 1) << offset;
            // A window with the originals laid over a blank.
            Bytes window(1 + random() % 100, 0xEE);
            map.LayOver(offset, window);
            for (std::size_t i = 0; i < window.size(); ++i) {
                const auto at = reference.find(offset + static_cast<std::int64_t>(i));
                ASSERT_EQ(window[i], at == reference.end() ? 0xEE : at->second) << offset + i;
            }
        }
        // Runs come ascending and never overlap, from any start.
        std::int64_t end = -1;
        for (auto it = map.RunsFrom(last / 2); it != map.RunsEnd(); ++it) {
            ASSERT_GE((*it).Offset, end);
            ASSERT_FALSE((*it).Values.empty());
            end = (*it).End();
        }
        EXPECT_EQ(end, last + 1);
    }
}

// The heap bytes in use, as the C library counts them; 0 where it does not
// (an allocator of a sanitizer).
std::int64_t HeapInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

TEST(OriginalBytes, MemoryStaysWithinTwiceTheBytesKept)
{
    for (const Layout& layout : Layouts(4 << 20)) {
        SCOPED_TRACE(layout.Name);
        const std::int64_t before = HeapInUse();
        const OriginalByteMap map = Recorded(layout);
        const std::int64_t heap = HeapInUse() - before;
        const auto bound = static_cast<std::size_t>(2 * map.Size() + 4096);
        EXPECT_LE(map.MemoryBytes(), bound) << map.Size();
        if (heap == 0)
            continue;  // the library does not count: the accounting stands alone
        // The map's own account matches what it took from the heap, give
        // or take the allocator's headers.
        EXPECT_LE(heap + static_cast<std::int64_t>(sizeof map), static_cast<std::int64_t>(bound)) << map.Size();
        EXPECT_GE(heap, static_cast<std::int64_t>(map.MemoryBytes() - sizeof map));
        EXPECT_LE(heap, static_cast<std::int64_t>(map.MemoryBytes() + map.MemoryBytes() / 20));
    }
}

}  // namespace
