#include "model/core/rom_file.h"

#include "model/core/file_descriptor.h"

#include <algorithm>
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

std::string KeepsOldBytesText(const std::string& path, const std::string& cause)
{
    return "Writing to the file '" + path + "' failed (" + cause + "); the file keeps its old bytes there.";
}

RomIdentity IdentityOf(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size)};
}

}  // namespace

RomFile::~RomFile()
{
    Close();
}

RomFile::RomFile(RomFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), writable_(std::exchange(other.writable_, false)),
      length_(std::exchange(other.length_, 0)), path_(std::move(other.path_)), writer_(std::move(other.writer_)),
      listener_(std::move(other.listener_)), untold_(std::exchange(other.untold_, false)),
      writeCount_(other.writeCount_), unrestored_(std::exchange(other.unrestored_, std::nullopt)),
      group_(std::move(other.group_))
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
        writeCount_ = std::max(writeCount_, other.writeCount_) + 1;
        unrestored_ = std::exchange(other.unrestored_, std::nullopt);
        group_ = std::move(other.group_);
    }
    return *this;
}

bool RomFile::Exists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && (::stat(path.c_str(), &info) == 0 || errno == ELOOP);
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
    ++writeCount_;
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        if (!path.empty() && errno == ELOOP)
            return {OpenStatus::CannotOpen,
                    "The file '" + path + "' could not be opened: its name is a loop of symbolic links."};
        return {OpenStatus::NotFound, "The file '" + path + "' does not exist."};
    }
    if (S_ISDIR(info.st_mode))
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

    // Before anything reads it: a write cut short by a crash is undone.
    const LeftoverWrite leftover = RollBackLeftoverWrite(fd, path, IdentityOf(info), !readOnly);
    if (!leftover.Problem.empty()) {
        ::close(fd);
        return {OpenStatus::CannotOpen, leftover.Problem};
    }

    fd_ = fd;
    writable_ = !readOnly;
    length_ = static_cast<std::int32_t>(info.st_size);
    path_ = path;
    return {readOnly ? OpenStatus::OpenedReadOnly : OpenStatus::Opened, {}, leftover.Notice};
}

void RomFile::Close()
{
    EndGroup();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    writable_ = false;
    length_ = 0;
    path_.clear();
    // Its journal stays for the next open.
    unrestored_.reset();
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
    return CheckStillTheSameFile(offset, size, open);
}

RomWriteResult RomFile::CheckStillTheSameFile(std::int64_t offset, std::size_t size, struct stat& open) const
{
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

std::size_t RomFile::WriteWhole(std::int64_t offset, const std::uint8_t* data, std::size_t size, std::string& cause)
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
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    return done;
}

RomWriteResult RomFile::PutBackUnrestored()
{
    const Unrestored& left = *unrestored_;
    std::string cause;
    bool back = WriteWhole(left.Offset, left.Old.data(), left.Old.size(), cause) == left.Old.size();
    if (back && ::fdatasync(fd_) != 0) {
        back = false;
        cause = SystemCause(errno);
    }
    if (!back)
        return {RomWriteStatus::NotRestored,
                "The old bytes of an earlier failed write to the file '" + path_ + "' still could not be put back (" +
                    cause + "): the " + std::to_string(left.Old.size()) + " bytes at address " +
                    std::to_string(left.Offset) + " may be damaged, so nothing was written."};
    if (!left.Journal.empty())
        ::unlink(left.Journal.c_str());
    unrestored_.reset();
    return {};
}

RomWriteResult RomFile::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size)
{
    if (!IsWritable())
        return {RomWriteStatus::NotWritable, "The file '" + path_ + "' is open for reading only; nothing was written."};
    if (offset < 0 || offset + static_cast<std::int64_t>(size) > length_)
        return {RomWriteStatus::OutsideFile, "The " + std::to_string(size) + " bytes at address " +
                                                 std::to_string(offset) +
                                                 " lie outside the file; nothing was written."};
    // A user's Ctrl+C or a TERM lands after the block is whole (or undone).
    const StopSignalsHeld held;
    struct stat open {};
    if (RomWriteResult check = CheckStillTheSameFile(offset, size, open); !check)
        return check;
    if (unrestored_)
        if (RomWriteResult putBack = PutBackUnrestored(); !putBack)
            return putBack;

    std::vector<std::uint8_t> old(size);
    if (ReadAt(offset, old.data(), size) != size)
        return {RomWriteStatus::Failed, "Writing to the file '" + path_ +
                                            "' failed (the bytes it replaces could not be read); nothing was written."};
    // The old bytes are stored and synced before the block is touched.
    RollbackJournal single;
    RollbackJournal& journal = group_ ? *group_ : single;
    std::string cause;
    const ByteRange block{offset, static_cast<std::int64_t>(size)};
    if (!journal.Covers(block.Offset, block.Size) && !journal.Add(fd_, path_, IdentityOf(open), {&block, 1}, cause))
        return {RomWriteStatus::Failed, "Writing to the file '" + path_ +
                                            "' failed (the journal of its old bytes could not be written: " + cause +
                                            "); nothing was written."};
    const std::size_t written = WriteWhole(offset, data, size, cause);
    bool whole = written == size;
    // A group syncs its blocks when it ends.
    if (whole && !group_ && ::fdatasync(fd_) != 0) {
        whole = false;
        cause = SystemCause(errno);
    }
    if (whole) {
        ++writeCount_;
        single.Finish();
        if (listener_ && !untold_)
            listener_(offset, std::span<const std::uint8_t>(old), std::span<const std::uint8_t>(data, size));
        return {};
    }
    // The bytes that changed go back; none when nothing was written.
    std::string restoreCause;
    if (WriteWhole(offset, old.data(), written, restoreCause) == written) {
        if (group_ || ::fdatasync(fd_) == 0) {
            single.Finish();
            return {RomWriteStatus::Failed, KeepsOldBytesText(path_, cause)};
        }
        restoreCause = SystemCause(errno);
    }
    ++writeCount_;
    old.resize(written);
    unrestored_ = Unrestored{offset, std::move(old), single.Keep()};
    return {RomWriteStatus::NotRestored, "Writing to the file '" + path_ + "' failed (" + cause +
                                             "), and its old bytes could not be put back (" + restoreCause + "): the " +
                                             std::to_string(written) + " bytes at address " + std::to_string(offset) +
                                             " may be damaged. Brixel puts them back before the next write, or when "
                                             "the file is opened again."};
}

BlocksWritten RomFile::WriteBlocks(std::span<const ByteBlock> blocks)
{
    std::vector<ByteRange> ahead;
    for (const ByteBlock& block : blocks)
        ahead.push_back({block.Offset, static_cast<std::int64_t>(block.Bytes.size())});
    const WriteGroup group(*this, ahead);
    return TileStore::WriteBlocks(blocks);
}

void RomFile::EndGroup()
{
    if (!group_)
        return;
    if (group_->Active()) {
        if (fd_ >= 0)
            ::fdatasync(fd_);
        if (unrestored_ && unrestored_->Journal.empty())
            unrestored_->Journal = group_->Keep();
        else
            group_->Finish();
    }
    group_.reset();
}

RomFile::WriteGroup::WriteGroup(RomFile& file, std::span<const ByteRange> ahead) : file_(file), outer_(!file.group_)
{
    if (!outer_)
        return;
    file_.group_ = std::make_unique<RollbackJournal>();
    std::vector<ByteRange> inside;
    for (const ByteRange& range : ahead)
        if (range.Offset >= 0 && range.Size > 0 && range.Size <= file_.length_ - range.Offset)
            inside.push_back(range);
    struct stat open {};
    std::string cause;
    // When this fails, each write stores its own old bytes (and says why it cannot).
    if (!inside.empty() && file_.IsWritable() && ::fstat(file_.fd_, &open) == 0)
        file_.group_->Add(file_.fd_, file_.path_, IdentityOf(open), inside, cause);
}

RomFile::WriteGroup::~WriteGroup()
{
    if (outer_)
        file_.EndGroup();
}
