#include "core/rom_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

RomFile::~RomFile()
{
    Close();
}

RomFile::RomFile(RomFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), writable_(std::exchange(other.writable_, false)),
      length_(std::exchange(other.length_, 0))
{
}

RomFile& RomFile::operator=(RomFile&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        writable_ = std::exchange(other.writable_, false);
        length_ = std::exchange(other.length_, 0);
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
    const int fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd < 0)
        return {OpenStatus::CannotOpen, "The file '" + path + "' could not be opened: " + std::strerror(errno)};

    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {OpenStatus::CannotOpen, "The file '" + path + "' could not be opened."};
    }
    if (info.st_size > std::numeric_limits<std::int32_t>::max()) {
        ::close(fd);
        return {OpenStatus::TooLarge,
                "The file '" + path + "' is 2 GiB or larger. Brixel can only open files smaller than 2 GiB."};
    }

    fd_ = fd;
    writable_ = !readOnly;
    length_ = static_cast<std::int32_t>(info.st_size);
    return {readOnly ? OpenStatus::OpenedReadOnly : OpenStatus::Opened, {}};
}

void RomFile::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    writable_ = false;
    length_ = 0;
}

std::size_t RomFile::ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const
{
    if (fd_ < 0 || offset < 0)
        return 0;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd_, buffer + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool RomFile::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size)
{
    if (!IsWritable() || offset < 0 || offset + static_cast<std::int64_t>(size) > length_)
        return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}
