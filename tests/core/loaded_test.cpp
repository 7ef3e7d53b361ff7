#include "model/core/loaded.h"
#include "support/expect_message.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Bytes = std::vector<std::uint8_t>;

void ExpectMissing(const Loaded<FileBytes>& load)
{
    ExpectMessage(load.Error, "Could not find the selected file.", "Loading process aborted", MsgIcon::None);
    EXPECT_TRUE(load.Bytes.empty());
}

void ExpectUnreadable(const Loaded<FileBytes>& load)
{
    ExpectMessage(load.Error, "Could not read the selected file.", "Loading process aborted", MsgIcon::Critical);
    EXPECT_TRUE(load.Bytes.empty());
}

std::int64_t SeenSize = -1;

std::optional<UserMessage> RefuseAbove5(std::int64_t size)
{
    SeenSize = size;
    if (size > 5)
        return UserMessage{"too big", "Sizes", MsgIcon::Information};
    return std::nullopt;
}

}  // namespace

TEST(LoadFileBytes, MissingNamesAndEntriesThatAreNoFiles)
{
    TempDir dir;
    ExpectMissing(LoadFileBytes((dir.Path() / "none.bin").string(), {.ReadLimit = 100}));
    ExpectMissing(LoadFileBytes("", {.ReadLimit = 100}));
    // A link to nothing names nothing.
    std::filesystem::create_symlink(dir.Path() / "gone", dir.Path() / "link");
    ExpectMissing(LoadFileBytes((dir.Path() / "link").string(), {.ReadLimit = 100}));

    // A folder exists but cannot be read, unless the loader counts only files.
    ExpectUnreadable(LoadFileBytes(dir.Path().string(), {.ReadLimit = 100}));
    ExpectMissing(LoadFileBytes(dir.Path().string(), {.ReadLimit = 100, .OnlyRegularFilesExist = true}));
}

TEST(LoadFileBytes, ReadsAtMostTheLimitFromTheStart)
{
    TempDir dir;
    const std::string path = dir.WriteFile("a.bin", CountingBytes(300));
    const auto whole = LoadFileBytes(path, {.ReadLimit = 300});
    EXPECT_FALSE(whole.Error);
    EXPECT_EQ(whole.Bytes, CountingBytes(300));
    EXPECT_EQ(LoadFileBytes(path, {.ReadLimit = 1000}).Bytes, CountingBytes(300));
    EXPECT_EQ(LoadFileBytes(path, {.ReadLimit = 299}).Bytes, CountingBytes(299));
    EXPECT_EQ(LoadFileBytes(path, {.ReadLimit = 0}).Bytes, Bytes{});

    const auto empty = LoadFileBytes(dir.WriteFile("empty.bin", {}), {.ReadLimit = 10});
    EXPECT_FALSE(empty.Error);
    EXPECT_TRUE(empty.Bytes.empty());
}

TEST(LoadFileBytes, TheSizeRuleSeesTheWholeSizeBeforeAnythingIsRead)
{
    TempDir dir;
    const std::string small = dir.WriteFile("small.bin", Bytes{1, 2, 3, 4, 5});
    const auto accepted = LoadFileBytes(small, {.ReadLimit = 2, .RefuseSize = &RefuseAbove5});
    EXPECT_EQ(SeenSize, 5);
    EXPECT_FALSE(accepted.Error);
    EXPECT_EQ(accepted.Bytes, (Bytes{1, 2}));

    // Sparse, so nothing is stored; read whole it would be 4 GiB.
    const std::string huge = dir.WriteFile("huge.bin", Bytes{1});
    std::filesystem::resize_file(huge, std::uintmax_t{1} << 32);
    const auto refused = LoadFileBytes(huge, {.ReadLimit = std::size_t{1} << 33, .RefuseSize = &RefuseAbove5});
    EXPECT_EQ(SeenSize, std::int64_t{1} << 32);
    ExpectMessage(refused.Error, "too big", "Sizes", MsgIcon::Information);
    EXPECT_TRUE(refused.Bytes.empty());
}
