#include "core/file_io.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

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
