#include "model/core/file_io.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

mode_t ModeOf(const std::string& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

}  // namespace

TEST(FileIoWrite, ReplacesTheContentAndKeepsThePermissions)
{
    TempDir dir;
    const std::string path = dir.WriteFile("a.bin", Bytes(100, 7));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    EXPECT_FALSE(WriteFileAtomically(path, {1, 2, 3}));
    EXPECT_EQ(ReadWholeFile(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(ModeOf(path), 0640u);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(FileIoWrite, AReadOnlyFileIsLeftAlone)
{
    TempDir dir;
    const std::string path = dir.WriteFile("a.bin", Bytes(10, 7));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const auto failure = WriteFileAtomically(path, {1, 2, 3});
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "the file is read-only");
    EXPECT_EQ(ReadWholeFile(path), Bytes(10, 7));
}

TEST(FileIoWrite, ALinkStaysALinkToTheNewContent)
{
    TempDir dir;
    const std::string real = dir.WriteFile("real.bin", Bytes(10, 7));
    const std::string link = (dir.Path() / "link.bin").string();
    std::filesystem::create_symlink(real, link);
    EXPECT_FALSE(WriteFileAtomically(link, {9}));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real), Bytes{9});
}

TEST(FileIoWrite, AnythingButARegularFileIsRefusedAndLeftAsItWas)
{
    TempDir dir;
    auto at = [&](const std::string& name) { return (dir.Path() / name).string(); };
    ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
    // A private device node, numbered like /dev/full; only root may make one.
    const bool device = ::mknod(at("full").c_str(), S_IFCHR | 0600, ::makedev(1, 7)) == 0;
    std::filesystem::create_directory(at("folder"));
    std::filesystem::create_symlink(at("loop2"), at("loop1"));
    std::filesystem::create_symlink(at("loop1"), at("loop2"));
    std::filesystem::create_symlink(at("fifo"), at("to-fifo"));
    std::filesystem::create_symlink(at("gone"), at("dangling"));
    const struct {
        std::string Name, Reason;
    } cases[] = {
        {"fifo", "it is a named pipe, not a regular file"},
        {"full", "it is a character device, not a regular file"},
        {"folder", "it is a folder, not a regular file"},
        {"loop1", "it is a symbolic link whose chain of links runs in a loop"},
        {"to-fifo", "it is a symbolic link to '" + at("fifo") + "', a named pipe, not a regular file"},
        {"dangling", "it is a symbolic link to '" + at("gone") + "', which leads to no existing file"},
    };
    for (const auto& c : cases) {
        if (c.Name == "full" && !device)
            continue;
        SCOPED_TRACE(c.Name);
        struct stat before {
        }, after{};
        ASSERT_EQ(::lstat(at(c.Name).c_str(), &before), 0);
        EXPECT_EQ(WriteFileAtomically(at(c.Name), {1, 2, 3}), c.Reason);
        ASSERT_EQ(::lstat(at(c.Name).c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
    }
    // Nothing new beside them: no temporary file, no target of a link.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), device ? 7 : 6);
    if (!device)
        GTEST_SKIP() << "mknod is not permitted here; the device node was not tried";
}

TEST(FileIoWrite, AMissingFolderIsReported)
{
    TempDir dir;
    const auto failure = WriteFileAtomically((dir.Path() / "no" / "a.bin").string(), {1});
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->rfind("the file could not be created: ", 0), 0u);
}

TEST(FileIoRead, BoundedReadsAndRanges)
{
    TempDir dir;
    const std::string path = dir.WriteFile("a.bin", CountingBytes(100));
    EXPECT_FALSE(ReadFileBytes(path, 99));
    EXPECT_EQ(ReadFileBytes(path, 100)->size(), 100u);
    EXPECT_EQ(*ReadFileRange(path, 98, 10), (Bytes{98, 99}));
    EXPECT_FALSE(ReadFileRange((dir.Path() / "missing").string(), 0, 1));
    EXPECT_FALSE(FileSize(dir.Path().string()));
}
