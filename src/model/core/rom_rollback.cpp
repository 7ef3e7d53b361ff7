#include "model/core/rom_rollback.h"

#include "model/core/file_descriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>
#include <zlib.h>

namespace {

constexpr std::string_view Magic = "BRXROLL1";
constexpr std::size_t HeaderSize = 36;        // magic, device, inode, length, CRC-32 of those
constexpr std::size_t RecordHeaderSize = 20;  // offset, size, CRC-32 of both and the old bytes
constexpr std::size_t CopyChunk = std::size_t{1} << 20;

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

void PutLittle(std::uint8_t* out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

std::uint64_t GetLittle(const std::uint8_t* in, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | in[i];
    return value;
}

unsigned long Crc(unsigned long crc, const std::uint8_t* bytes, std::size_t size)
{
    return ::crc32(crc, bytes, static_cast<uInt>(size));
}

bool WriteAllAt(int fd, const std::uint8_t* data, std::size_t size, std::int64_t offset)
{
    std::size_t done = 0;
    while (done < size) {
        errno = 0;
        const ssize_t put = ::pwrite(fd, data + done, size - done, static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Makes a new or removed entry of the folder durable.
bool SyncFolder(const std::filesystem::path& folder)
{
    Descriptor dir{::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    return dir.fd >= 0 && ::fsync(dir.fd) == 0;
}

struct Record {
    std::int64_t Offset = 0;
    std::int64_t Size = 0;
    std::int64_t Position = 0;  // of the old bytes in the journal
};

enum class JournalState { Read, Torn, Foreign };

// The header's file and the complete records, up to the first torn one.
JournalState ReadJournal(int fd, std::int64_t fileSize, RomIdentity& rom, std::vector<Record>& records)
{
    std::array<std::uint8_t, HeaderSize> header{};
    const std::size_t got = ReadFullyAt(fd, 0, header.data(), header.size());
    if (got >= Magic.size() && !std::equal(Magic.begin(), Magic.end(), header.begin()))
        return JournalState::Foreign;
    if (got < HeaderSize ||
        Crc(::crc32(0, nullptr, 0), header.data(), HeaderSize - 4) != GetLittle(&header[HeaderSize - 4], 4))
        return JournalState::Torn;
    rom = {GetLittle(&header[8], 8), GetLittle(&header[16], 8), static_cast<std::int64_t>(GetLittle(&header[24], 8))};

    std::vector<std::uint8_t> chunk;
    for (std::int64_t position = HeaderSize; position + std::int64_t{RecordHeaderSize} <= fileSize;) {
        std::array<std::uint8_t, RecordHeaderSize> head{};
        if (ReadFullyAt(fd, position, head.data(), head.size()) != head.size())
            break;
        const std::uint64_t size = GetLittle(&head[8], 8);
        const std::int64_t start = position + std::int64_t{RecordHeaderSize};
        if (size > static_cast<std::uint64_t>(fileSize - start))
            break;
        unsigned long crc = Crc(::crc32(0, nullptr, 0), head.data(), 16);
        chunk.resize(std::min<std::uint64_t>(size, CopyChunk));
        bool whole = true;
        for (std::uint64_t done = 0; done < size && whole;) {
            const std::size_t part = std::min<std::uint64_t>(size - done, chunk.size());
            whole = ReadFullyAt(fd, start + static_cast<std::int64_t>(done), chunk.data(), part) == part;
            crc = Crc(crc, chunk.data(), part);
            done += part;
        }
        if (!whole || crc != GetLittle(&head[16], 4))
            break;
        records.push_back({static_cast<std::int64_t>(GetLittle(&head[0], 8)), static_cast<std::int64_t>(size), start});
        position = start + static_cast<std::int64_t>(size);
    }
    return JournalState::Read;
}

// Copies the records' old bytes into the ROM, last first, and syncs it.
bool PutBack(int journal, int rom, const std::vector<Record>& records, std::string& cause)
{
    std::vector<std::uint8_t> chunk;
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        chunk.resize(static_cast<std::size_t>(std::min<std::int64_t>(record->Size, CopyChunk)));
        for (std::int64_t done = 0; done < record->Size;) {
            const auto part = static_cast<std::size_t>(std::min<std::int64_t>(record->Size - done, CopyChunk));
            if (ReadFullyAt(journal, record->Position + done, chunk.data(), part) != part) {
                cause = "the journal could not be read";
                return false;
            }
            if (!WriteAllAt(rom, chunk.data(), part, record->Offset + done)) {
                cause = SystemCause(errno);
                return false;
            }
            done += static_cast<std::int64_t>(part);
        }
    }
    if (::fdatasync(rom) != 0) {
        cause = SystemCause(errno);
        return false;
    }
    return true;
}

std::string BlocksText(const std::vector<Record>& records)
{
    if (records.size() == 1)
        return "the " + std::to_string(records[0].Size) + " bytes at address " + std::to_string(records[0].Offset);
    std::int64_t bytes = 0;
    std::int64_t first = records[0].Offset;
    for (const Record& record : records) {
        bytes += record.Size;
        first = std::min(first, record.Offset);
    }
    return "the " + std::to_string(bytes) + " bytes of " + std::to_string(records.size()) + " blocks from address " +
           std::to_string(first);
}

void Append(std::string& text, const std::string& sentence)
{
    text += (text.empty() ? "" : " ") + sentence;
}

void RollBackOne(int rom, const std::string& romPath, const RomIdentity& identity, bool writable,
                 const std::string& journalPath, LeftoverWrite& result)
{
    std::string reason;
    int fd = OpenRegularFile(journalPath, O_RDWR, reason);
    if (fd < 0)
        fd = OpenRegularFile(journalPath, O_RDONLY, reason);
    Descriptor journal{fd};
    // None there; or a write in progress (another Brixel) holds it.
    if (journal.fd < 0 || ::flock(journal.fd, LOCK_EX | LOCK_NB) != 0)
        return;
    struct stat info {};
    if (::fstat(journal.fd, &info) != 0 || info.st_nlink == 0)
        return;

    RomIdentity was;
    std::vector<Record> records;
    switch (ReadJournal(journal.fd, info.st_size, was, records)) {
    case JournalState::Foreign:
        return;
    case JournalState::Torn:
        // Cut short while it was made, so the ROM was not touched yet.
        ::unlink(journalPath.c_str());
        return;
    case JournalState::Read:
        break;
    }
    if (was.Device != identity.Device || was.Inode != identity.Inode || was.Length != identity.Length)
        return;
    for (const Record& record : records)
        if (record.Offset < 0 || record.Size > identity.Length - record.Offset)
            return;
    if (records.empty()) {
        ::unlink(journalPath.c_str());
        return;
    }

    const std::string cutShort =
        "A write to the file '" + romPath + "' was cut short (Brixel was stopped or the system went down)";
    if (!writable) {
        Append(result.Notice, cutShort + ", so " + BlocksText(records) +
                                  " may hold old and new bytes mixed. The file is read-only, so their old bytes were "
                                  "not put back; they are kept in '" +
                                  journalPath + "'. Make the file writable and open it again to put them back.");
        return;
    }
    std::string cause;
    if (!PutBack(journal.fd, rom, records, cause)) {
        result.Problem = cutShort + ", and " + BlocksText(records) + " could not be put back as they were (" + cause +
                         "), so the file was not opened. Their old bytes are kept in '" + journalPath + "'.";
        return;
    }
    // A journal left in place would take later writes back at the next open.
    if (::unlink(journalPath.c_str()) != 0 && (::ftruncate(journal.fd, 0) != 0 || ::fdatasync(journal.fd) != 0)) {
        result.Problem = cutShort + "; " + BlocksText(records) + " were put back, but the journal '" + journalPath +
                         "' could not be removed (" + SystemCause(errno) + "), so the file was not opened.";
        return;
    }
    Append(result.Notice, cutShort + "; " + BlocksText(records) + " were put back as they were before that write.");
}

}  // namespace

std::string JournalBesidePath(const std::string& romPath)
{
    std::string target = romPath;
    if (char* resolved = ::realpath(romPath.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    return target + ".brixel-journal";
}

std::string JournalCachePath(const RomIdentity& rom)
{
    std::string cache;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/')
        cache = xdg;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        cache = std::string(home) + "/.cache";
    else
        return {};
    return cache + "/brixel/" + std::to_string(rom.Device) + "-" + std::to_string(rom.Inode) + ".brixel-journal";
}

RollbackJournal::~RollbackJournal()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool RollbackJournal::Add(int romFd, const std::string& romPath, const RomIdentity& rom,
                          std::span<const ByteRange> ranges, std::string& cause)
{
    if (Active()) {
        const std::int64_t before = end_;
        const std::size_t coveredBefore = covered_.size();
        if (Append(romFd, ranges, cause)) {
            if (::fdatasync(fd_) == 0)
                return true;
            cause = SystemCause(errno);
        }
        // What was stored before stays a valid journal.
        if (::ftruncate(fd_, before) == 0)
            ::fdatasync(fd_);
        end_ = before;
        covered_.resize(coveredBefore);
        return false;
    }
    // Beside the ROM; where its folder cannot take it, the cache folder.
    std::string firstCause;
    for (const std::string& place : {JournalBesidePath(romPath), JournalCachePath(rom)}) {
        if (place.empty())
            continue;
        std::string placeCause;
        if (Create(place, rom, placeCause) && Append(romFd, ranges, placeCause)) {
            if (::fdatasync(fd_) == 0 && SyncFolder(std::filesystem::path(path_).parent_path()))
                return true;
            placeCause = SystemCause(errno);
        }
        Drop();
        if (firstCause.empty())
            firstCause = placeCause;
    }
    cause = firstCause;
    return false;
}

bool RollbackJournal::Create(const std::string& journalPath, const RomIdentity& rom, std::string& cause)
{
    const std::filesystem::path folder = std::filesystem::path(journalPath).parent_path();
    std::error_code ignored;
    if (std::filesystem::create_directories(folder, ignored))
        SyncFolder(folder.parent_path());

    Descriptor journal{-1};
    // An open that finds a journal torn removes it under the lock: one
    // locked after it was removed is made again.
    for (int attempt = 0; attempt < 3 && journal.fd < 0; ++attempt) {
        journal.fd = ::open(journalPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        struct stat info {};
        if (journal.fd < 0 || ::flock(journal.fd, LOCK_EX) != 0 || ::fstat(journal.fd, &info) != 0) {
            cause = SystemCause(errno);
            return false;
        }
        if (info.st_nlink == 0)
            ::close(std::exchange(journal.fd, -1));
    }
    if (journal.fd < 0) {
        cause = "the journal was removed while it was made";
        return false;
    }
    std::array<std::uint8_t, HeaderSize> header{};
    std::copy(Magic.begin(), Magic.end(), header.begin());
    PutLittle(&header[8], rom.Device, 8);
    PutLittle(&header[16], rom.Inode, 8);
    PutLittle(&header[24], static_cast<std::uint64_t>(rom.Length), 8);
    PutLittle(&header[HeaderSize - 4], Crc(::crc32(0, nullptr, 0), header.data(), HeaderSize - 4), 4);
    fd_ = std::exchange(journal.fd, -1);
    path_ = journalPath;
    end_ = 0;
    if (::ftruncate(fd_, 0) != 0 || !WriteAllAt(fd_, header.data(), header.size(), 0)) {
        cause = SystemCause(errno);
        return false;
    }
    end_ = HeaderSize;
    return true;
}

bool RollbackJournal::Append(int romFd, std::span<const ByteRange> ranges, std::string& cause)
{
    std::vector<std::uint8_t> chunk;
    for (const ByteRange& range : ranges) {
        std::array<std::uint8_t, RecordHeaderSize> head{};
        PutLittle(&head[0], static_cast<std::uint64_t>(range.Offset), 8);
        PutLittle(&head[8], static_cast<std::uint64_t>(range.Size), 8);
        unsigned long crc = Crc(::crc32(0, nullptr, 0), head.data(), 16);
        const std::int64_t start = end_ + std::int64_t{RecordHeaderSize};
        chunk.resize(static_cast<std::size_t>(std::min<std::int64_t>(range.Size, CopyChunk)));
        for (std::int64_t done = 0; done < range.Size;) {
            const auto part = static_cast<std::size_t>(std::min<std::int64_t>(range.Size - done, CopyChunk));
            if (ReadFullyAt(romFd, range.Offset + done, chunk.data(), part) != part) {
                cause = "the bytes it replaces could not be read";
                return false;
            }
            if (!WriteAllAt(fd_, chunk.data(), part, start + done)) {
                cause = SystemCause(errno);
                return false;
            }
            crc = Crc(crc, chunk.data(), part);
            done += static_cast<std::int64_t>(part);
        }
        PutLittle(&head[16], crc, 4);
        if (!WriteAllAt(fd_, head.data(), head.size(), end_)) {
            cause = SystemCause(errno);
            return false;
        }
        end_ = start + range.Size;
        covered_.push_back(range);
    }
    return true;
}

bool RollbackJournal::Covers(std::int64_t offset, std::int64_t size) const
{
    return std::any_of(covered_.begin(), covered_.end(), [&](const ByteRange& range) {
        return offset >= range.Offset && offset + size <= range.Offset + range.Size;
    });
}

void RollbackJournal::Drop()
{
    if (fd_ >= 0) {
        ::unlink(path_.c_str());
        ::close(std::exchange(fd_, -1));
    }
    path_.clear();
    end_ = 0;
    covered_.clear();
}

void RollbackJournal::Finish()
{
    if (fd_ < 0)
        return;
    // An empty journal is a torn one, which the next open drops.
    if (::unlink(path_.c_str()) != 0 && ::ftruncate(fd_, 0) == 0)
        ::fdatasync(fd_);
    ::close(std::exchange(fd_, -1));
    path_.clear();
    end_ = 0;
    covered_.clear();
}

std::string RollbackJournal::Keep()
{
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    end_ = 0;
    covered_.clear();
    return std::exchange(path_, {});
}

LeftoverWrite RollBackLeftoverWrite(int fd, const std::string& romPath, const RomIdentity& rom, bool writable)
{
    LeftoverWrite result;
    for (const std::string& journalPath : {JournalBesidePath(romPath), JournalCachePath(rom)}) {
        if (!journalPath.empty() && result.Problem.empty())
            RollBackOne(fd, romPath, rom, writable, journalPath, result);
    }
    return result;
}

StopSignalsHeld::StopSignalsHeld()
{
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&stops, signal);
    ::pthread_sigmask(SIG_BLOCK, &stops, &previous_);
}

StopSignalsHeld::~StopSignalsHeld()
{
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}
