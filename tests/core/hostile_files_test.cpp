#include "model/core/file_descriptor.h"
#include "model/core/file_io.h"
#include "model/core/rom_file.h"
#include "model/core/tile_io.h"
#include "model/editor/bmp_exchange.h"
#include "model/editor/pattern_file.h"
#include "model/palette/own_palette_format.h"
#include "model/palette/palette_files.h"
#include "model/palette/savestates.h"
#include "support/temp_dir.h"
#include "model/tools/bookmark_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Counting(std::size_t length)
{
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

// Runs work on its own thread and fails the test at once when it does not
// return within a few seconds: a call that blocks (a named pipe opened for
// reading waits for a writer) must fail the suite instead of hanging it.
void WithinSeconds(const char* what, const std::function<void()>& work)
{
    std::packaged_task<void()> task(work);
    std::future<void> done = task.get_future();
    std::thread(std::move(task)).detach();
    if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        std::fprintf(stderr, "%s did not return within 5 seconds\n", what);
        std::fflush(stderr);
        std::_Exit(1);
    }
    done.get();
}

class RomWrites : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = dir_.WriteFile("game.gb", Counting(2048));
        ASSERT_TRUE(file_.Open(path_).Opened());
    }

    TempDir dir_;
    std::string path_;
    RomFile file_;
    const Bytes block_ = Bytes(16, 0xEE);
};

}  // namespace

TEST_F(RomWrites, AFileShortenedElsewhereIsRefusedAndKeepsItsNewLength)
{
    ASSERT_EQ(::truncate(path_.c_str(), 200), 0);
    const RomWriteResult result = file_.WriteAt(1024, block_.data(), block_.size());
    EXPECT_EQ(result.Status, RomWriteStatus::FileChanged);
    EXPECT_EQ(result.Reason, "The file '" + path_ +
                                 "' was changed, moved or deleted outside Brixel, so nothing was written. Open it "
                                 "again to go on.");
    std::array<std::uint8_t, 64> pixels{};
    EXPECT_EQ(WriteTile(file_, 0, 1024, pixels).Status, RomWriteStatus::FileChanged);
    // The block that ends exactly one byte past the new end is refused too.
    EXPECT_FALSE(file_.WriteAt(185, block_.data(), block_.size()));
    const Bytes original = Counting(2048);
    EXPECT_EQ(ReadWholeFile(path_), Bytes(original.begin(), original.begin() + 200));
    // What still lies inside the file may be written.
    EXPECT_TRUE(file_.WriteAt(184, block_.data(), block_.size()));
    EXPECT_EQ(std::filesystem::file_size(path_), 200u);
}

TEST_F(RomWrites, ARenamedOverDeletedOrReplacedFileGetsNoWrite)
{
    const std::string other = dir_.WriteFile("other.gb", Bytes(2048, 1));
    ASSERT_EQ(::rename(other.c_str(), path_.c_str()), 0);
    RomWriteResult result = file_.WriteAt(0, block_.data(), block_.size());
    EXPECT_EQ(result.Status, RomWriteStatus::FileChanged);
    EXPECT_NE(result.Reason.find("'" + path_ + "' was changed, moved or deleted outside Brixel"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(path_), Bytes(2048, 1));

    ASSERT_EQ(::unlink(path_.c_str()), 0);
    EXPECT_EQ(file_.WriteAt(0, block_.data(), block_.size()).Status, RomWriteStatus::FileChanged);
    ASSERT_EQ(::mkdir(path_.c_str(), 0755), 0);
    EXPECT_EQ(file_.WriteAt(0, block_.data(), block_.size()).Status, RomWriteStatus::FileChanged);
}

TEST_F(RomWrites, AShortWriteIsUndoneAndReported)
{
    int calls = 0;
    // Half the block goes to disk, then the disk is full.
    file_.SetWriterForTesting([&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (++calls == 1)
            return ::pwrite(fd, data, size / 2, offset);
        if (calls == 2) {
            errno = ENOSPC;
            return -1;
        }
        return ::pwrite(fd, data, size, offset);
    });
    const RomWriteResult result = file_.WriteAt(512, block_.data(), block_.size());
    EXPECT_EQ(result.Status, RomWriteStatus::Failed);
    EXPECT_EQ(result.Reason, "Writing to the file '" + path_ +
                                 "' failed (No space left on device); the file keeps its old bytes there.");
    EXPECT_EQ(ReadWholeFile(path_), Counting(2048));
}

TEST_F(RomWrites, AWriteOfNothingNamesItsOwnCauseAndAFailedRestoreIsSaid)
{
    errno = EINVAL;  // left over from an earlier call
    file_.SetWriterForTesting([](int, const void*, std::size_t, off_t) -> ssize_t { return 0; });
    RomWriteResult result = file_.WriteAt(0, block_.data(), block_.size());
    EXPECT_EQ(result.Status, RomWriteStatus::Failed);
    EXPECT_EQ(result.Reason, "Writing to the file '" + path_ +
                                 "' failed (the system wrote nothing); the file keeps its old bytes there.");

    // The first half is written, every later write fails: the old bytes cannot come back.
    int calls = 0;
    file_.SetWriterForTesting([&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (++calls == 1)
            return ::pwrite(fd, data, size / 2, offset);
        errno = EIO;
        return -1;
    });
    result = file_.WriteAt(64, block_.data(), block_.size());
    EXPECT_EQ(result.Status, RomWriteStatus::NotRestored);
    EXPECT_NE(result.Reason.find("failed (Input/output error), and its old bytes could not be put back"),
              std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(path_), 2048u);
}

TEST(HostileFiles, ANamedPipeNeverHangsAReader)
{
    TempDir dir;
    const std::string fifo = (dir.Path() / "pipe.gb").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);

    WithinSeconds("opening a pipe as the ROM", [&] {
        RomFile file;
        const RomFile::OpenResult result = file.Open(fifo);
        EXPECT_EQ(result.Status, RomFile::OpenStatus::CannotOpen);
        EXPECT_EQ(result.Reason, "The file '" + fifo + "' could not be opened: it is not a regular file");
    });
    WithinSeconds("reading a pipe as the configuration", [&] {
        EXPECT_FALSE(ReadFileRange(fifo, 0, 64));
        EXPECT_FALSE(ReadFileBytes(fifo, 64));
    });
    WithinSeconds("reading a pipe as a gzip savestate", [&] {
        const PaletteLoad load = LoadPaletteFile(fifo, BoycottSavestate, NesColorTable{});
        ASSERT_TRUE(load.Error);
        EXPECT_EQ(load.Error->Text, "Could not read the selected file.");
    });
    WithinSeconds("reading a pipe as another file of the program", [&] {
        EXPECT_TRUE(LoadPaletteFile(fifo, OwnPaletteFile, NesColorTable{}).Error);
        EXPECT_TRUE(LoadPaletteFile(fifo, NocashSavestate, NesColorTable{}).Error);
        EXPECT_TRUE(LoadBmpFile(BuildBmpHeader(), fifo).Error);
        EXPECT_TRUE(LoadPatternFile(fifo).Error);
        EXPECT_TRUE(LoadBookmarkFile(fifo).Error);
    });
}

TEST(HostileFiles, AnOwnFileWriteOfNothingHasNoStaleCause)
{
    EXPECT_EQ(SystemCause(0), "the system wrote nothing");
    EXPECT_EQ(SystemCause(ENOSPC), "No space left on device");
}
