#include "model/core/rom_file.h"
#include "model/core/rom_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes With(Bytes bytes, std::int64_t offset, const Bytes& block)
{
    std::copy(block.begin(), block.end(), bytes.begin() + offset);
    return bytes;
}

// Runs work in a child process whose ROM writes die halfway into write
// number crashAt, as a crash would; as another user when asked (so that a
// folder of the superuser is not writable for it).
void CrashHalfway(int crashAt, bool asOtherUser, const std::function<void(RomFile&)>& work, const std::string& rom)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (asOtherUser && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        RomFile file;
        if (!file.Open(rom).Opened())
            ::_exit(2);
        int calls = 0;
        file.SetWriterForTesting([&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
            if (++calls < crashAt)
                return ::pwrite(fd, data, size, offset);
            ::pwrite(fd, data, size / 2, offset);
            ::_exit(0);
        });
        work(file);
        ::_exit(4);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child ended with " << status;
}

enum class After { Nothing, ReadOnly, CutRecord, DamageHeader, ReplaceRom };

struct LeftoverCase {
    const char* Name;
    bool Group;        // two blocks in one group, the second cut short
    bool CacheFolder;  // the ROM's folder is not writable for the writer
    After Then;
    bool PutBack;        // the file is as before the write
    bool JournalStays;   // the journal is still there afterwards
    std::string Notice;  // {rom} and {journal} stand for their paths
};

class Rollback : public ::testing::TestWithParam<LeftoverCase> {
protected:
    void SetUp() override
    {
        if (const char* was = std::getenv("XDG_CACHE_HOME"))
            was_ = was;
        ::setenv("XDG_CACHE_HOME", cache_.Path().c_str(), 1);
    }
    void TearDown() override { was_ ? ::setenv("XDG_CACHE_HOME", was_->c_str(), 1) : ::unsetenv("XDG_CACHE_HOME"); }

    std::optional<std::string> was_;

    TempDir dir_;
    TempDir cache_;
};

const std::string CutShort = "A write to the file '{rom}' was cut short (Brixel was stopped or the system went down)";
const std::string PutBack16 = CutShort + "; the 16 bytes at address 1030 were put back as they were before that write.";

}  // namespace

TEST_P(Rollback, OpeningPutsBackTheOldBytesOfAWriteCutShort)
{
    const LeftoverCase& c = GetParam();
    const Bytes original = CountingBytes(4096);
    std::string rom = dir_.WriteFile("game.gb", original);
    const Bytes block(16, 0xEE);
    if (c.CacheFolder) {
        ASSERT_EQ(::chmod(dir_.Path().c_str(), ::geteuid() == 0 ? 0755 : 0555), 0);
        ASSERT_EQ(::chmod(rom.c_str(), 0666), 0);
        ASSERT_EQ(::chmod(cache_.Path().c_str(), 0777), 0);
    }
    CrashHalfway(
        c.Group ? 2 : 1, c.CacheFolder,
        [&](RomFile& file) {
            const std::vector<ByteRange> ahead{{1030, 16}, {2000, 16}};
            std::optional<RomFile::WriteGroup> group;
            if (c.Group)
                group.emplace(file, ahead);
            file.WriteAt(1030, block.data(), block.size());
            file.WriteAt(2000, block.data(), block.size());
        },
        rom);
    ASSERT_EQ(::chmod(dir_.Path().c_str(), 0755), 0);

    struct stat info {};
    ASSERT_EQ(::stat(rom.c_str(), &info), 0);
    const std::string cached = cache_.Path().string() + "/brixel/" + std::to_string(info.st_dev) + "-" +
                               std::to_string(info.st_ino) + ".brixel-journal";
    const std::string journal = c.CacheFolder ? cached : rom + ".brixel-journal";
    ASSERT_TRUE(std::filesystem::exists(journal));
    EXPECT_NE(std::filesystem::exists(rom + ".brixel-journal"), c.CacheFolder);
    if (c.Then == After::ReadOnly) {
        ASSERT_EQ(::chmod(rom.c_str(), 0444), 0);
    }
    if (c.Then == After::CutRecord)
        std::filesystem::resize_file(journal, std::filesystem::file_size(journal) - 1);
    if (c.Then == After::DamageHeader) {
        // One bit of the inode in the header.
        const int fd = ::open(journal.c_str(), O_RDWR);
        std::uint8_t byte = 0;
        ASSERT_EQ(::pread(fd, &byte, 1, 20), 1);
        byte ^= 1;
        ASSERT_EQ(::pwrite(fd, &byte, 1, 20), 1);
        ::close(fd);
    }
    if (c.Then == After::ReplaceRom) {
        // A copy of the torn file, renamed over it: another inode.
        std::filesystem::copy_file(rom, rom + ".copy");
        std::filesystem::rename(rom + ".copy", rom);
    }
    const Bytes torn = ReadWholeFile(rom);

    ProgramState state;
    InitState(state);
    const OpenRomOutcome opened = OpenRomInState(state, rom);
    EXPECT_TRUE(opened.Opened);
    EXPECT_EQ(state.FileHandle.IsWritable(), c.Then != After::ReadOnly);
    EXPECT_EQ(ReadWholeFile(rom), c.PutBack ? original : torn);
    std::string notice = c.Notice;
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"{rom}", rom}, {"{journal}", journal}})
        if (const auto at = notice.find(name); at != std::string::npos)
            notice.replace(at, name.size(), value);
    EXPECT_EQ(opened.Notice, notice);
    EXPECT_EQ(std::filesystem::exists(journal), c.JournalStays);
}

INSTANTIATE_TEST_SUITE_P(
    Leftovers, Rollback,
    ::testing::Values(
        LeftoverCase{"Beside", false, false, After::Nothing, true, false, PutBack16},
        LeftoverCase{"GroupOfTwoBlocks", true, false, After::Nothing, true, false,
                     CutShort + "; the 32 bytes of 2 blocks from address 1030 were put back as they were before "
                                "that write."},
        LeftoverCase{"InTheCacheFolder", false, true, After::Nothing, true, false, PutBack16},
        LeftoverCase{"ReadOnlyFile", false, false, After::ReadOnly, false, true,
                     CutShort + ", so the 16 bytes at address 1030 may hold old and new bytes mixed. The file is "
                                "read-only, so their old bytes were not put back; they are kept in '{journal}'. "
                                "Make the file writable and open it again to put them back."},
        LeftoverCase{"RecordCutShort", false, false, After::CutRecord, false, false, ""},
        LeftoverCase{"HeaderDamaged", false, false, After::DamageHeader, false, false, ""},
        LeftoverCase{"OfAnotherFile", false, false, After::ReplaceRom, false, true, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

namespace {

struct Child {
    pid_t Pid = -1;
    bool Ready = false;
};

// A child process that writes block at offset in one WriteAt, saying so on a
// pipe just before; stop signals act as they would on brixel-cli.
Child StartWriter(const std::string& rom, std::int64_t offset, const Bytes& block)
{
    int said[2];
    if (::pipe(said) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        RomFile file;
        if (!file.Open(rom).Opened() || ::write(said[1], "ready", 5) != 5)
            ::_exit(2);
        ::_exit(file.WriteAt(offset, block.data(), block.size()) ? 0 : 1);
    }
    ::close(said[1]);
    char word[5] = {};
    const Child child{pid, pid > 0 && ::read(said[0], word, sizeof word) == 5};
    ::close(said[0]);
    return child;
}

int WaitFor(pid_t pid)
{
    int status = -1;
    ::waitpid(pid, &status, 0);
    return status;
}

// The file whole, in one read (the test compares many large files).
Bytes ReadFile(const std::string& path)
{
    Bytes bytes(std::filesystem::file_size(path));
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

std::size_t FromEnvironment(const char* name, std::size_t otherwise)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::strtoul(value, nullptr, 10) : otherwise;
}

}  // namespace

// A child writes a large block and is killed at a random point: after the
// next open the file holds the whole old block or the whole new one. A TERM
// or an INT waits until the block is whole, so no open is needed for them.
TEST(RomCrash, AWriteKilledAnywhereLeavesTheBlockWhollyOldOrNew)
{
    const std::size_t size = FromEnvironment("BRIXEL_CRASH_MIB", 4) << 20;
    const int tries = static_cast<int>(FromEnvironment("BRIXEL_CRASH_TRIES", 50));
    const std::int64_t offset = 4096 + 3;
    TempDir dir;
    const Bytes blocks[2] = {RandomBytes(size, 1), RandomBytes(size, 2)};
    const Bytes base = RandomBytes(size + (2 << 20), 5);
    const Bytes withBlock[2] = {With(base, offset, blocks[0]), With(base, offset, blocks[1])};
    const std::string rom = dir.WriteFile("big.gb", withBlock[0]);

    // Once to its end: the child works here, and a write takes this long.
    const Child first = StartWriter(rom, offset, blocks[1]);
    const auto start = std::chrono::steady_clock::now();
    if (first.Pid <= 0 || WaitFor(first.Pid) != 0 || !first.Ready)
        GTEST_SKIP() << "the child could not write here";
    const auto writeTime = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(ReadFile(rom), withBlock[1]);

    std::mt19937 random(20240);
    int current = 1;
    int ended[2][2] = {};  // [killed][new]
    int journals = 0;
    for (const auto& [signal, count] : {std::pair{SIGKILL, tries}, {SIGTERM, tries / 10}, {SIGINT, tries / 10}}) {
        for (int attempt = 0; attempt < count; ++attempt) {
            const int next = 1 - current;
            const Child child = StartWriter(rom, offset, blocks[next]);
            ASSERT_TRUE(child.Ready);
            std::this_thread::sleep_for(writeTime * std::uniform_real_distribution<>(0.0, 1.2)(random));
            ::kill(child.Pid, signal);
            WaitFor(child.Pid);
            const std::string where = "signal " + std::to_string(signal) + ", try " + std::to_string(attempt);
            journals += std::filesystem::exists(rom + ".brixel-journal") ? 1 : 0;
            if (signal != SIGKILL) {
                EXPECT_FALSE(std::filesystem::exists(rom + ".brixel-journal")) << where;
                const Bytes now = ReadFile(rom);
                ASSERT_TRUE(now == withBlock[0] || now == withBlock[1]) << where;
            }
            RomFile file;
            ASSERT_TRUE(file.Open(rom).Opened()) << where;
            file.Close();
            const Bytes now = ReadFile(rom);
            ASSERT_TRUE(now == withBlock[current] || now == withBlock[next]) << where << ": a torn block";
            ++ended[signal == SIGKILL][now == withBlock[next]];
            current = now == withBlock[next] ? next : current;
        }
    }
    std::printf("a write takes %lld ms; killed: %d old, %d new; stopped: %d old, %d new; journals found: %d\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(writeTime).count()),
                ended[1][0], ended[1][1], ended[0][0], ended[0][1], journals);
}
