#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The open ROM image. The file is never loaded: tiles are read and written in
// place with positional reads and writes. A RomFile never changes the length
// of its file.
class RomFile {
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
        bool Opened() const { return Status == OpenStatus::Opened || Status == OpenStatus::OpenedReadOnly; }
    };

    RomFile() = default;
    ~RomFile();
    RomFile(RomFile&& other) noexcept;
    RomFile& operator=(RomFile&& other) noexcept;
    RomFile(const RomFile&) = delete;
    RomFile& operator=(const RomFile&) = delete;

    // Existence probe: true when something of that name exists (a folder
    // too; opening it then fails with a reason).
    static bool Exists(const std::string& path);

    // True when the current user must not write the file, looked up by name
    // now. Any write bit cleared for the user counts, also for the
    // superuser, who could write it anyway: a file marked unwritable is
    // treated as read-only, like a read-only attribute.
    static bool IsReadOnly(const std::string& path);

    // Opens path, closing any file this object held. A read-only file is
    // opened for reading only; neither open is exclusive.
    OpenResult Open(const std::string& path);
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    bool IsWritable() const { return fd_ >= 0 && writable_; }

    // Length in bytes, measured when the file was opened; 0 when closed.
    std::int32_t Length() const { return length_; }

    // Reads up to size bytes at offset. Returns how many were delivered:
    // fewer at the end of the file, none before offset 0, past the end, or
    // when no file is open.
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const;

    // Writes all size bytes at offset. Returns false when the file is not
    // open for writing, the block does not lie wholly inside the file, or
    // the system wrote less than the whole block.
    bool WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size);

private:
    int fd_ = -1;
    bool writable_ = false;
    std::int32_t length_ = 0;
};
