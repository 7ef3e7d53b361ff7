#pragma once

#include <csignal>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The rollback journal of in-place ROM writes, as databases keep one: before
// a block of the ROM is replaced, its old bytes go to a small file that is
// synced (with its folder) first; the block is then written and synced, and
// the file removed. A journal still there when the ROM is opened means a
// write was cut short (a crash, a kill, a power cut), so its old bytes go
// back before anything else reads the file. Every block is then either
// wholly old or wholly new.
//
// The journal lies beside the ROM (its real path + ".brixel-journal"), or,
// when that folder cannot be written, in the user's cache folder
// ($XDG_CACHE_HOME or ~/.cache, "brixel/"), named after the ROM's device and
// inode. It is a header (a magic, the ROM's device, inode and length, a
// CRC-32) and records, each the offset and size of a block, a CRC-32 of
// both and the old bytes, and then those bytes. A journal with a bad header
// was cut short while it was made, before the ROM was touched, and is
// dropped; a record cut short likewise never had its block written.

// The file a journal belongs to.
struct RomIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Length = 0;
};

// A stretch of the file: Size bytes from Offset.
struct ByteRange {
    std::int64_t Offset = 0;
    std::int64_t Size = 0;
};

// The journal's place beside the ROM; the place in the cache folder, empty
// when neither XDG_CACHE_HOME nor HOME names one.
std::string JournalBesidePath(const std::string& romPath);
std::string JournalCachePath(const RomIdentity& rom);

// The journal of one write or of a group of writes. The destructor closes
// it and leaves it where it is, as a crash would.
class RollbackJournal {
public:
    RollbackJournal() = default;
    ~RollbackJournal();
    RollbackJournal(const RollbackJournal&) = delete;
    RollbackJournal& operator=(const RollbackJournal&) = delete;

    // Stores the bytes the ranges hold now in the ROM open at romFd and
    // syncs them. The first call makes the journal: beside the ROM, else in
    // the cache folder. False with the cause when they could not be stored;
    // what earlier calls stored stays valid.
    bool Add(int romFd, const std::string& romPath, const RomIdentity& rom, std::span<const ByteRange> ranges,
             std::string& cause);
    // True when one stored range holds the whole block.
    bool Covers(std::int64_t offset, std::int64_t size) const;
    bool Active() const { return fd_ >= 0; }

    // The blocks are written and synced, or their old bytes are back:
    // removes the journal.
    void Finish();
    // Old bytes could not be put back: the journal stays for the next open.
    // Returns its path.
    std::string Keep();

private:
    bool Create(const std::string& journalPath, const RomIdentity& rom, std::string& cause);
    bool Append(int romFd, std::span<const ByteRange> ranges, std::string& cause);
    void Drop();

    int fd_ = -1;
    std::string path_;
    std::int64_t end_ = 0;
    std::vector<ByteRange> covered_;
};

// What opening a ROM found of a write that was cut short.
struct LeftoverWrite {
    // For the user, when old bytes were put back or wait to be: empty
    // otherwise.
    std::string Notice;
    // Set when the old bytes could not be put back: the file must not be
    // opened, as a new write would cover the journal.
    std::string Problem;
};

// Looks for a journal of the ROM open at fd in both places. The records of
// one for this very file are put back, last first, synced, and the journal
// is removed when the file is writable; for a file opened for reading only
// it is kept and the notice says so. A journal with a torn header is
// removed; one of another file is left alone, as is one that a running
// write holds.
LeftoverWrite RollBackLeftoverWrite(int fd, const std::string& romPath, const RomIdentity& rom, bool writable);

// Holds back SIGINT, SIGTERM, SIGHUP and SIGQUIT for this thread while it
// lives, so a command-line write stopped by the user finishes its block
// first; they are delivered when it goes.
class StopSignalsHeld {
public:
    StopSignalsHeld();
    ~StopSignalsHeld();
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

private:
    sigset_t previous_{};
};
