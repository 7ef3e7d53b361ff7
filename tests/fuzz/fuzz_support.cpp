#include "fuzz_support.h"

#include "model/palette/palette_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <system_error>
#include <unistd.h>

namespace {

// Every input writes files, so a RAM disk keeps the fuzzer fast.
std::string MakeTempFolder()
{
    std::string base = "/dev/shm";
    if (::access(base.c_str(), W_OK | X_OK) != 0) {
        const char* tmp = std::getenv("TMPDIR");
        base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    }
    std::string folder = base + "/brixel-fuzz-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        std::fprintf(stderr, "cannot create a folder in %s: %s\n", base.c_str(), std::strerror(errno));
        std::abort();
    }
    return folder;
}

struct TempFolder {
    std::string Path = MakeTempFolder();
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(Path, error);
    }
};

const std::string& Folder()
{
    static const TempFolder folder;
    return folder.Path;
}

}  // namespace

void FuzzCheckFailed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    // abort() skips the destructors; libFuzzer keeps the input itself.
    std::error_code error;
    std::filesystem::remove_all(Folder(), error);
    std::abort();
}

std::string TempPath(const std::string& name)
{
    return Folder() + "/" + name;
}

std::string WriteTempFile(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::string path = TempPath(name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    CHECK(fd >= 0);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::write(fd, data + done, size - done);
        CHECK(put > 0);
        done += static_cast<std::size_t>(put);
    }
    CHECK(::close(fd) == 0);
    return path;
}

std::string WriteTempFile(const std::string& name, const Bytes& bytes)
{
    return WriteTempFile(name, bytes.data(), bytes.size());
}

Bytes FileContents(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    CHECK(fd >= 0);
    Bytes bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        CHECK(got >= 0);
        if (got == 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    ::close(fd);
    return bytes;
}

bool ColorInRange(PackedColor color)
{
    return (color >> 24) == 0;
}

bool SameSet(const ColorSetEntry& a, const ColorSetEntry& b)
{
    return a.Description == b.Description && a.Colors == b.Colors;
}

bool SameLoad(const PaletteLoad& a, const PaletteLoad& b)
{
    if (a.Error.has_value() != b.Error.has_value())
        return false;
    if (a.Error && (a.Error->Text != b.Error->Text || a.Error->Caption != b.Error->Caption))
        return false;
    if (a.Sets.size() != b.Sets.size())
        return false;
    for (std::size_t i = 0; i < a.Sets.size(); ++i)
        if (!SameSet(a.Sets[i], b.Sets[i]))
            return false;
    return true;
}

Bytes SavedAlone(const Palette256& colors, const PaletteFileFormat& format, const std::string& path)
{
    static const auto list = std::make_unique<ColorSetList>();  // 256 sets: kept off the stack
    list->SetCount = 1;
    list->SelectedSet = 0;
    list->ColorSets[0].Colors = colors;
    CHECK(!SavePaletteFile(path, format, *list));
    return FileContents(path);
}
