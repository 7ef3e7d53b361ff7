#pragma once

#include "model/core/rom_rollback.h"
#include "model/core/rom_write_result.h"
#include "model/core/tile_store.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <utility>
#include <vector>

// The open ROM image. The file is never loaded: tiles are read and written in
// place with positional reads and writes. A RomFile never changes the length
// of its file.
class RomFile : public TileStore {
public:
    enum class OpenStatus {
        Opened,          // open for reading and writing
        OpenedReadOnly,  // the file is read-only, so it was opened for reading only
        NotFound,        // no regular file of that name
        CannotOpen,      // the system refused to open it
        TooLarge,        // 2 GiB or more: addresses and lengths are 32-bit
    };

    struct OpenResult {
        OpenStatus Status;
        std::string Reason;  // a sentence for the user; empty when opened
        // Set when the open found a write that was cut short (a crash, a
        // kill) and put its old bytes back, or could not because the file is
        // read-only: sentences for the user, shown with the opened file.
        std::string Notice = {};
        bool Opened() const { return Status == OpenStatus::Opened || Status == OpenStatus::OpenedReadOnly; }
    };

    RomFile() = default;
    ~RomFile() override;
    RomFile(RomFile&& other) noexcept;
    RomFile& operator=(RomFile&& other) noexcept;
    RomFile(const RomFile&) = delete;
    RomFile& operator=(const RomFile&) = delete;

    // Existence probe: true when something of that name exists (a folder,
    // a loop of symbolic links too; opening it then fails with a reason).
    static bool Exists(const std::string& path);

    // True when the current user must not write the file, looked up by name
    // now. Any write bit cleared for the user counts, also for the
    // superuser, who could write it anyway: a file marked unwritable is
    // treated as read-only, like a read-only attribute.
    static bool IsReadOnly(const std::string& path);

    // Opens path, closing any file this object held. A read-only file is
    // opened for reading only; neither open is exclusive. Before anything
    // reads the file, the old bytes of a write that was cut short are put
    // back from its rollback journal (core/rom_rollback.h).
    OpenResult Open(const std::string& path);
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    bool IsWritable() const { return fd_ >= 0 && writable_; }

    // Length in bytes, measured when the file was opened; 0 when closed.
    std::int32_t Length() const override { return length_; }
    // Counts the writes made to the file since the program started, so a
    // view of its bytes can tell that they may have changed.
    std::uint64_t WriteCount() const { return writeCount_; }

    // Reads up to size bytes at offset. Returns how many were delivered:
    // fewer at the end of the file, none before offset 0, past the end, or
    // when no file is open.
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const override;
    // A second descriptor of the open file, for reading it from another
    // thread after this one is closed; -1 when none is open. The caller
    // closes it.
    int DuplicateDescriptor() const;

    // Writes all size bytes at offset, or nothing. Before writing it checks
    // that the path still names the file that was opened and that the block
    // lies inside the file's length as it is now; it reads the bytes it
    // replaces and writes them back when the write fails or stops short.
    // The old bytes go to a synced rollback journal first and the block is
    // synced before the journal goes, so a crash leaves the block wholly old
    // or wholly new after the next open; SIGINT, SIGTERM, SIGHUP and SIGQUIT
    // wait until the block is done. When even the old bytes cannot be put
    // back, the journal stays and the next write (or the next open) puts
    // them back first.
    RomWriteResult WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size) override;
    // The blocks in one write group (one journal, one sync).
    BlocksWritten WriteBlocks(std::span<const ByteBlock> blocks) override;

    // The positional write WriteAt uses, replaceable so that tests can make
    // the system fail or write short.
    using Writer = std::function<ssize_t(int fd, const void* data, std::size_t size, off_t offset)>;
    void SetWriterForTesting(Writer writer);

    // Told of every write that replaced its whole block, after it was made:
    // the offset, the bytes replaced and the bytes written. Refused and
    // failed writes are not told. The listener stays across Open and Close.
    using WriteListener = std::function<void(std::int64_t offset, std::span<const std::uint8_t> before,
                                             std::span<const std::uint8_t> after)>;
    void SetWriteListener(WriteListener listener);

    // While one lives, writes are not told to the listener: undo and redo
    // put back bytes the listener has already been told of.
    class UntoldWrites {
    public:
        explicit UntoldWrites(RomFile& file) : file_(file), wasUntold_(std::exchange(file.untold_, true)) {}
        ~UntoldWrites() { file_.untold_ = wasUntold_; }
        UntoldWrites(const UntoldWrites&) = delete;
        UntoldWrites& operator=(const UntoldWrites&) = delete;

    private:
        RomFile& file_;
        bool wasUntold_;
    };

    // Writes made while one lives share one rollback journal, and their
    // blocks are synced when it goes instead of at each write: an action of
    // many writes (Save all, a patch, an undo) pays one journal and one sync
    // of the file instead of three syncs a write, and after a crash all its
    // blocks are old again. ahead: the blocks the action will write, whose
    // old bytes go to the journal at once, in one synced write; a write
    // outside them adds its own (one sync). Groups inside a group join it.
    class WriteGroup {
    public:
        explicit WriteGroup(RomFile& file, std::span<const ByteRange> ahead = {});
        ~WriteGroup();
        WriteGroup(const WriteGroup&) = delete;
        WriteGroup& operator=(const WriteGroup&) = delete;

    private:
        RomFile& file_;
        bool outer_;
    };

    const std::string& Path() const { return path_; }

    // The same file as at the open, named by the same path, holding the block now.
    RomWriteResult CheckStillTheSameFile(std::int64_t offset, std::size_t size) const;

private:
    // Writes the block through writer_ and returns how many bytes were
    // written: size, or fewer with the cause.
    std::size_t WriteWhole(std::int64_t offset, const std::uint8_t* data, std::size_t size, std::string& cause);
    // The same file as at the open, named by the same path, holding the block
    // now; its status in open.
    RomWriteResult CheckStillTheSameFile(std::int64_t offset, std::size_t size, struct stat& open) const;
    // Puts back the old bytes a failed write left, before a new write.
    RomWriteResult PutBackUnrestored();
    // Syncs the group's blocks and removes its journal.
    void EndGroup();

    // The old bytes of a write whose restore failed; their journal stays
    // (Journal is empty while it is the open group's).
    struct Unrestored {
        std::int64_t Offset = 0;
        std::vector<std::uint8_t> Old;
        std::string Journal;
    };

    int fd_ = -1;
    bool writable_ = false;
    std::int32_t length_ = 0;
    std::string path_;
    Writer writer_;
    WriteListener listener_;
    bool untold_ = false;
    std::uint64_t writeCount_ = 0;
    std::optional<Unrestored> unrestored_;
    std::unique_ptr<RollbackJournal> group_;
};
