#include "model/core/rom_file.h"
#include "model/core/rom_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Makes a sparse file of the given length without writing its bytes.
std::string SparseFile(const TempDir& dir, const std::string& name, off_t length)
{
    const std::string path = dir.WriteFile(name, {});
    EXPECT_EQ(::truncate(path.c_str(), length), 0);
    return path;
}

}  // namespace

TEST(RomFileProbe, ExistsForAnythingOfThatName)
{
    TempDir dir;
    EXPECT_TRUE(RomFile::Exists(dir.WriteFile("a.gb", {1, 2, 3})));
    EXPECT_TRUE(RomFile::Exists(dir.WriteFile("empty.gb", {})));
    EXPECT_FALSE(RomFile::Exists((dir.Path() / "missing.gb").string()));
    EXPECT_TRUE(RomFile::Exists(dir.Path().string()));
    EXPECT_FALSE(RomFile::Exists(""));
}

TEST(RomFileProbe, ReadOnlyIsLookedUpByNameAtEachCall)
{
    TempDir dir;
    const std::string path = dir.WriteFile("a.gb", {1, 2, 3});
    EXPECT_FALSE(RomFile::IsReadOnly(path));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(RomFile::IsReadOnly(path));
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_FALSE(RomFile::IsReadOnly(path));
    EXPECT_FALSE(RomFile::IsReadOnly((dir.Path() / "missing.gb").string()));
}

TEST(RomFileOpen, WritableFileOpensForReadingAndWriting)
{
    TempDir dir;
    const std::string path = dir.WriteFile("a.gb", CountingBytes(4096));
    RomFile file;
    const auto result = file.Open(path);
    EXPECT_EQ(result.Status, RomFile::OpenStatus::Opened);
    EXPECT_TRUE(result.Reason.empty());
    EXPECT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.IsWritable());
    EXPECT_EQ(file.Length(), 4096);
}

TEST(RomFileOpen, ReadOnlyFileOpensForReadingOnlyAndStaysUnchanged)
{
    TempDir dir;
    const Bytes content = CountingBytes(64);
    const std::string path = dir.WriteFile("a.gb", content);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    RomFile file;
    EXPECT_EQ(file.Open(path).Status, RomFile::OpenStatus::OpenedReadOnly);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_FALSE(file.IsWritable());
    std::uint8_t buffer[4] = {};
    EXPECT_EQ(file.ReadAt(10, buffer, 4), 4u);
    EXPECT_EQ(buffer[0], 10);
    const std::uint8_t data[4] = {9, 9, 9, 9};
    EXPECT_FALSE(file.WriteAt(0, data, 4));
    EXPECT_EQ(ReadWholeFile(path), content);
}

TEST(RomFileOpen, MissingFileAndFolderAreRefusedWithAReason)
{
    TempDir dir;
    RomFile file;
    const std::string missing = (dir.Path() / "missing.gb").string();
    const auto result = file.Open(missing);
    EXPECT_EQ(result.Status, RomFile::OpenStatus::NotFound);
    EXPECT_FALSE(result.Opened());
    EXPECT_NE(result.Reason.find(missing), std::string::npos);
    EXPECT_FALSE(file.IsOpen());
    const auto folder = file.Open(dir.Path().string());
    EXPECT_EQ(folder.Status, RomFile::OpenStatus::CannotOpen);
    EXPECT_EQ(folder.Reason, "'" + dir.Path().string() + "' is a folder, not a file.");
}

TEST(RomFileOpen, FilesOf2GiBOrMoreAreRefused)
{
    TempDir dir;
    RomFile file;
    const auto result = file.Open(SparseFile(dir, "huge.bin", off_t{1} << 31));
    EXPECT_EQ(result.Status, RomFile::OpenStatus::TooLarge);
    EXPECT_NE(result.Reason.find("2 GiB"), std::string::npos);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Length(), 0);

    EXPECT_TRUE(file.Open(SparseFile(dir, "largest.bin", (off_t{1} << 31) - 1)).Opened());
    EXPECT_EQ(file.Length(), 2147483647);
}

TEST(RomFileOpen, OpeningAnotherFileClosesTheFirst)
{
    TempDir dir;
    RomFile file;
    ASSERT_TRUE(file.Open(dir.WriteFile("a.gb", CountingBytes(10))).Opened());
    ASSERT_TRUE(file.Open(dir.WriteFile("b.gb", CountingBytes(20))).Opened());
    EXPECT_EQ(file.Length(), 20);
    EXPECT_FALSE(file.Open((dir.Path() / "missing").string()).Opened());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Length(), 0);

    RomFile moved;
    ASSERT_TRUE(file.Open(dir.WriteFile("c.gb", CountingBytes(30))).Opened());
    moved = std::move(file);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(moved.Length(), 30);
}

TEST(RomFileRead, DeliversFewerBytesAtTheEndAndNoneOutside)
{
    TempDir dir;
    RomFile file;
    ASSERT_TRUE(file.Open(dir.WriteFile("a.gb", CountingBytes(100))).Opened());
    std::uint8_t buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    EXPECT_EQ(file.ReadAt(90, buffer, 16), 10u);
    EXPECT_EQ(buffer[0], 90);
    EXPECT_EQ(buffer[9], 99);
    EXPECT_EQ(buffer[10], 0xEE);
    EXPECT_EQ(file.ReadAt(100, buffer, 16), 0u);
    EXPECT_EQ(file.ReadAt(1000, buffer, 16), 0u);
    EXPECT_EQ(file.ReadAt(-1, buffer, 16), 0u);
    file.Close();
    EXPECT_EQ(file.ReadAt(0, buffer, 16), 0u);
}

TEST(RomFileWrite, WritesInPlaceAndNeverGrowsTheFile)
{
    TempDir dir;
    const std::string path = dir.WriteFile("a.gb", CountingBytes(32));
    RomFile file;
    ASSERT_TRUE(file.Open(path).Opened());
    const std::uint8_t data[4] = {0xA1, 0xA2, 0xA3, 0xA4};
    EXPECT_TRUE(file.WriteAt(28, data, 4));
    EXPECT_FALSE(file.WriteAt(29, data, 4));
    EXPECT_FALSE(file.WriteAt(-1, data, 4));
    EXPECT_FALSE(file.WriteAt(32, data, 1));
    Bytes expected = CountingBytes(32);
    std::copy(std::begin(data), std::end(data), expected.begin() + 28);
    EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST(RomFileWrite, AFileMovedAsideAndReplacedOnTheSameDeviceGetsNoWrite)
{
    TempDir dir;
    const std::string path = dir.WriteFile("a.gb", CountingBytes(64));
    RomFile file;
    ASSERT_TRUE(file.Open(path).Opened());
    // The opened file keeps a name, so only its inode tells it from the new one.
    const std::string aside = (dir.Path() / "a.bak").string();
    ASSERT_EQ(::rename(path.c_str(), aside.c_str()), 0);
    dir.WriteFile("a.gb", Bytes(64, 7));
    const std::uint8_t data[4] = {1, 2, 3, 4};
    EXPECT_EQ(file.WriteAt(0, data, 4).Status, RomWriteStatus::FileChanged);
    EXPECT_EQ(ReadWholeFile(path), Bytes(64, 7));
    EXPECT_EQ(ReadWholeFile(aside), CountingBytes(64));
}

TEST(RomFileOpen, ASymbolicLinkLoopIsNamedAsSuch)
{
    TempDir dir;
    const std::string a = (dir.Path() / "a.gb").string();
    const std::string b = (dir.Path() / "b.gb").string();
    ASSERT_EQ(::symlink(b.c_str(), a.c_str()), 0);
    ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
    const std::string reason = "The file '" + a + "' could not be opened: its name is a loop of symbolic links.";
    RomFile file;
    const RomFile::OpenResult result = file.Open(a);
    EXPECT_EQ(result.Status, RomFile::OpenStatus::CannotOpen);
    EXPECT_EQ(result.Reason, reason);
    // The program's open says so too, instead of taking it for a missing file.
    ProgramState state;
    InitState(state);
    EXPECT_EQ(OpenRomInState(state, a).Problem, reason);
}

namespace {

struct FailedWriteCase {
    const char* Name;
    RomFile::Writer Writer;  // fails the write of 16 bytes at 512
    RomWriteStatus Status;
    std::string Reason;  // after the file's name
    bool JournalStays;
};

// Writes half the block at the calls before `call`, fails that call with
// error, and the next one too when the restore is to fail; writes as usual
// after that.
RomFile::Writer Failing(int call, int error, bool restoreFails)
{
    return [calls = 0, call, error, restoreFails](int fd, const void* data, std::size_t size,
                                                  off_t offset) mutable -> ssize_t {
        ++calls;
        if (calls == call || (restoreFails && calls == call + 1))
            return errno = error, -1;
        return ::pwrite(fd, data, calls < call ? size / 2 : size, offset);
    };
}

}  // namespace

// Each failure says what became of the bytes: untouched, put back, or
// perhaps damaged (then the next write puts them back first).
TEST(RomFileWrite, AFailedWriteSaysWhatBecameOfTheBytes)
{
    const std::string keeps = "' failed (No space left on device); the file keeps its old bytes there.";
    const FailedWriteCase cases[] = {
        {"fails at once, and would again", Failing(1, ENOSPC, true), RomWriteStatus::Failed, keeps, false},
        {"half, then fails", Failing(2, ENOSPC, false), RomWriteStatus::Failed, keeps, false},
        {"half, then fails and so does the restore", Failing(2, EIO, true), RomWriteStatus::NotRestored,
         "' failed (Input/output error), and its old bytes could not be put back (Input/output error): the 8 bytes "
         "at address 512 may be damaged. Brixel puts them back before the next write, or when the file is opened "
         "again.",
         true},
    };
    for (const FailedWriteCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        const std::string path = dir.WriteFile("a.gb", CountingBytes(2048));
        RomFile file;
        ASSERT_TRUE(file.Open(path).Opened());
        file.SetWriterForTesting(c.Writer);
        const Bytes block(16, 0xEE);
        const RomWriteResult result = file.WriteAt(512, block.data(), block.size());
        EXPECT_EQ(result.Status, c.Status);
        EXPECT_EQ(result.Reason, "Writing to the file '" + path + c.Reason);
        EXPECT_EQ(std::filesystem::exists(path + ".brixel-journal"), c.JournalStays);

        file.SetWriterForTesting({});
        EXPECT_TRUE(file.WriteAt(0, block.data(), 4));
        Bytes expected = CountingBytes(2048);
        std::fill_n(expected.begin(), 4, 0xEE);
        EXPECT_EQ(ReadWholeFile(path), expected);
        EXPECT_FALSE(std::filesystem::exists(path + ".brixel-journal"));
    }
}
