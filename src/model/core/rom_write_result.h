#pragma once

#include <string>

// What became of a write into the ROM. A write is all or nothing: it either
// replaced the whole block, or the file keeps its old bytes there (only
// NotRestored says otherwise).
enum class RomWriteStatus {
    Written,
    NotWritable,  // the file is not open for writing
    OutsideFile,  // the block does not lie wholly inside the file
    FileChanged,  // the file was shortened, moved, replaced or deleted since it was opened
    Failed,       // the system refused the write; the old bytes are back in place
    NotRestored,  // the write failed and the old bytes could not be put back
    NoRoom,       // packed again, a compressed stream would no longer fit its place
};

struct RomWriteResult {
    RomWriteStatus Status = RomWriteStatus::Written;
    // For the user: what happened, with the file's name and the cause;
    // empty when written.
    std::string Reason;

    explicit operator bool() const { return Status == RomWriteStatus::Written; }
};
