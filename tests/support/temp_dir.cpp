#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <stdlib.h>
#include <unistd.h>

namespace {

// In memory where the system offers it: every ROM write syncs the disk, and
// the thousands a test run makes would take minutes on a slow one.
// BRIXEL_TEST_TMPDIR chooses another place (a real disk, for the long runs).
std::filesystem::path TestFolderBase()
{
    if (const char* chosen = std::getenv("BRIXEL_TEST_TMPDIR"); chosen != nullptr && chosen[0] != '\0')
        return chosen;
    std::error_code ignored;
    if (std::filesystem::is_directory("/dev/shm", ignored) && ::access("/dev/shm", W_OK | X_OK) == 0)
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

}  // namespace

TempDir::TempDir()
{
    std::string pattern = (TestFolderBase() / "brixel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Read-only files left by a test must not stop the clean-up.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const
{
    const auto file = path_ / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
    return file.string();
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> CountingBytes(std::size_t length)
{
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

std::vector<std::uint8_t> RandomBytes(std::size_t length, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(length);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}
