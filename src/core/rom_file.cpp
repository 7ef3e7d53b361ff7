#include "core/rom_file.h"

#include "core/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string ChangedOutsideText(const std::string& path)
{
    return "The file '" + path +
           "' was changed, moved or deleted outside Brixel, so nothing was written. Open it again to go on.";
}

}  // namespace

RomFile::~RomFile()
{
    Close();
}

RomFile::RomFile(RomFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), writable_(std::exchange(other.writable_, false)),
      length_(std::exchange(other.length_, 0)), path_(std::move(other.path_)), writer_(std::move(other.writer_)),
      listener_(std::move(other.listener_)), untold_(std::exchange(other.untold_, false))
{
}

RomFile& RomFile::operator=(RomFile&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        writable_ = std::exchange(other.writable_, false);
        length_ = std::exchange(other.length_, 0);
        path_ = std::move(other.path_);
        writer_ = std::move(other.writer_);
        listener_ = std::move(other.listener_);
        untold_ = std::exchange(other.untold_, false);
    }
    return *this;
}

bool RomFile::Exists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool RomFile::IsReadOnly(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return false;
    // Covers permissions, read-only mounts and access lists for ordinary users.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return true;
    // The superuser passes the access check for any file; a file without any
    // write bit is still meant to be left alone.
    if (::geteuid() == 0)
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return false;
}

RomFile::OpenResult RomFile::Open(const std::string& path)
{
    Close();
    if (!Exists(path))
        return {OpenStatus::NotFound, "The file '" + path + "' does not exist."};

    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return {OpenStatus::CannotOpen, "'" + path + "' is a folder, not a file."};

    const bool readOnly = IsReadOnly(path);
    std::string reason;
    const int fd = OpenRegularFile(path, readOnly ? O_RDONLY : O_RDWR, reason);
    if (fd < 0)
        return {OpenStatus::CannotOpen, "The file '" + path + "' could not be opened: " + reason};

    if (::fstat(fd, &info) != 0) {
        const std::string cause = SystemCause(errno);
        ::close(fd);
        return {OpenStatus::CannotOpen, "The file '" + path + "' could not be opened: " + cause};
    }
    if (info.st_size > std::numeric_limits<std::int32_t>::max()) {
        ::close(fd);
        return {OpenStatus::TooLarge,
                "The file '" + path + "' is 2 GiB or larger. Brixel can only open files smaller than 2 GiB."};
    }

    fd_ = fd;
    writable_ = !readOnly;
    length_ = static_cast<std::int32_t>(info.st_size);
    path_ = path;
    return {readOnly ? OpenStatus::OpenedReadOnly : OpenStatus::Opened, {}};
}

void RomFile::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    writable_ = false;
    length_ = 0;
    path_.clear();
}

std::size_t RomFile::ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const
{
    if (fd_ < 0 || offset < 0)
        return 0;
    return ReadFullyAt(fd_, offset, buffer, size);
}

int RomFile::DuplicateDescriptor() const
{
    return fd_ < 0 ? -1 : ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
}

void RomFile::SetWriterForTesting(Writer writer)
{
    writer_ = std::move(writer);
}

void RomFile::SetWriteListener(WriteListener listener)
{
    listener_ = std::move(listener);
}

RomWriteResult RomFile::CheckStillTheSameFile(std::int64_t offset, std::size_t size) const
{
    struct stat open {};
    struct stat named {};
    if (::fstat(fd_, &open) != 0)
        return {RomWriteStatus::Failed,
                "Writing to the file '" + path_ + "' failed (" + SystemCause(errno) + "); nothing was written."};
    // Deleted, renamed, or replaced by another file or a folder: the bytes
    // would go where the user can no longer see them.
    if (::stat(path_.c_str(), &named) != 0 || named.st_dev != open.st_dev || named.st_ino != open.st_ino ||
        open.st_nlink == 0)
        return {RomWriteStatus::FileChanged, ChangedOutsideText(path_)};
    // Shortened since the open: writing past its end would make it grow.
    const std::int64_t end = offset + static_cast<std::int64_t>(size);
    if (end > open.st_size)
        return {RomWriteStatus::FileChanged, ChangedOutsideText(path_)};
    return {};
}

bool RomFile::WriteWhole(std::int64_t offset, const std::uint8_t* data, std::size_t size, std::string& cause)
{
    std::size_t done = 0;
    while (done < size) {
        errno = 0;
        const ssize_t put = writer_ ? writer_(fd_, data + done, size - done, static_cast<off_t>(offset + done))
                                    : ::pwrite(fd_, data + done, size - done, static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            cause = SystemCause(put == 0 ? 0 : errno);
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

RomWriteResult RomFile::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size)
{
    if (!IsWritable())
        return {RomWriteStatus::NotWritable, "The file '" + path_ + "' is open for reading only; nothing was written."};
    if (offset < 0 || offset + static_cast<std::int64_t>(size) > length_)
        return {RomWriteStatus::OutsideFile, "The " + std::to_string(size) + " bytes at address " +
                                                 std::to_string(offset) +
                                                 " lie outside the file; nothing was written."};
    if (RomWriteResult check = CheckStillTheSameFile(offset, size); !check)
        return check;

    std::vector<std::uint8_t> old(size);
    if (ReadAt(offset, old.data(), size) != size)
        return {RomWriteStatus::Failed, "Writing to the file '" + path_ +
                                            "' failed (the bytes it replaces could not be read); nothing was written."};
    std::string cause;
    if (WriteWhole(offset, data, size, cause)) {
        if (listener_ && !untold_)
            listener_(offset, std::span<const std::uint8_t>(old), std::span<const std::uint8_t>(data, size));
        return {};
    }
    std::string restoreCause;
    if (WriteWhole(offset, old.data(), size, restoreCause))
        return {RomWriteStatus::Failed,
                "Writing to the file '" + path_ + "' failed (" + cause + "); the file keeps its old bytes there."};
    return {RomWriteStatus::NotRestored, "Writing to the file '" + path_ + "' failed (" + cause +
                                             "), and its old bytes could not be put back (" + restoreCause + "): the " +
                                             std::to_string(size) + " bytes at address " + std::to_string(offset) +
                                             " may be damaged."};
}
