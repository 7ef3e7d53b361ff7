#include "model/core/file_io.h"

#include "model/core/file_descriptor.h"
#include "model/core/rom_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Closes a descriptor when it goes out of scope.
struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool ReadAll(int fd, std::uint8_t* buffer, std::size_t length, std::int64_t offset, std::size_t& got)
{
    got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd, buffer + got, length - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// "a named pipe", "a folder", ... for a file that is no regular file.
std::string KindOfFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a special file";
}

// What the link itself says, for messages; empty when it cannot be read.
std::string LinkText(const std::string& path)
{
    std::string text(4096, '\0');
    const ssize_t length = ::readlink(path.c_str(), text.data(), text.size());
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

}  // namespace

std::optional<std::int64_t> FileSize(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::int64_t>(info.st_size);
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::size_t maxBytes)
{
    const auto size = FileSize(path);
    if (!size || static_cast<std::uint64_t>(*size) > maxBytes)
        return std::nullopt;
    return ReadFileRange(path, 0, static_cast<std::size_t>(*size));
}

std::optional<std::vector<std::uint8_t>> ReadFileRange(const std::string& path, std::int64_t offset, std::size_t length)
{
    if (offset < 0)
        return std::nullopt;
    std::string reason;
    FileDescriptor file{OpenRegularFile(path, O_RDONLY, reason)};
    if (file.fd < 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(length);
    std::size_t got = 0;
    if (!ReadAll(file.fd, bytes.data(), length, offset, got))
        return std::nullopt;
    bytes.resize(got);
    return bytes;
}

std::optional<std::string> ResolveSaveTarget(const std::string& path, std::string& target)
{
    target = path;
    struct stat entry {};
    // Nothing there: the save creates the file (a missing folder is reported
    // when the temporary file cannot be made).
    if (::lstat(path.c_str(), &entry) != 0)
        return std::nullopt;
    const bool isLink = S_ISLNK(entry.st_mode);
    struct stat end {};
    if (::stat(path.c_str(), &end) != 0) {
        const int error = errno;
        if (error == ELOOP)
            return std::string("it is a symbolic link whose chain of links runs in a loop");
        if (error == ENOENT || error == ENOTDIR)
            return "it is a symbolic link to '" + LinkText(path) + "', which leads to no existing file";
        return "where its symbolic link leads cannot be reached: " + SystemCause(error);
    }
    if (!isLink) {
        if (S_ISREG(end.st_mode))
            return std::nullopt;
        return "it is " + KindOfFile(end.st_mode) + ", not a regular file";
    }
    // The name at the end of the chain, which must be the file stat found:
    // a link to an open descriptor of another process's pipe or of a deleted
    // file has no such name.
    std::string resolved;
    if (char* name = ::realpath(path.c_str(), nullptr)) {
        resolved = name;
        std::free(name);
    }
    if (!S_ISREG(end.st_mode))
        return "it is a symbolic link to '" + (resolved.empty() ? LinkText(path) : resolved) + "', " +
               KindOfFile(end.st_mode) + ", not a regular file";
    struct stat named {};
    if (resolved.empty() || ::stat(resolved.c_str(), &named) != 0 || named.st_dev != end.st_dev ||
        named.st_ino != end.st_ino)
        return "it is a symbolic link to '" + LinkText(path) + "', a file that has no name of its own to replace";
    target = resolved;
    return std::nullopt;
}

std::optional<std::string> WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    // Through a link the file it points to is replaced, and the link stays;
    // anything but a regular file is left alone.
    std::string target;
    if (auto refusal = ResolveSaveTarget(path, target))
        return refusal;
    // An existing file keeps its permissions; one the user may not write is
    // left alone, as an ordinary overwrite would fail on it.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && RomFile::IsReadOnly(target))
        return std::string("the file is read-only");
    mode_t mode = 0;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::string temporary = target + ".XXXXXX";
    FileDescriptor file{::mkstemp(temporary.data())};
    if (file.fd < 0)
        return std::string("the file could not be created: ") + std::strerror(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const ssize_t n = ::write(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const std::string reason = SystemCause(n == 0 ? 0 : errno);
            ::unlink(temporary.c_str());
            return "the file could not be written: " + reason;
        }
        done += static_cast<std::size_t>(n);
    }
    ::fchmod(file.fd, mode);
    const bool synced = ::fsync(file.fd) == 0;
    const bool closed = ::close(std::exchange(file.fd, -1)) == 0;
    if (!synced || !closed) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        return "the file could not be written: " + reason;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        return "the file could not be replaced: " + reason;
    }
    return std::nullopt;
}
