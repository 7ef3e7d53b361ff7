#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A patch file made from the ROM's changes, or the reason none was made.
struct PatchFile {
    std::vector<std::uint8_t> Bytes;
    std::string Refusal;  // a sentence for the user; empty when made

    bool Made() const { return Refusal.empty(); }
};

// One block of bytes to write into the ROM at Offset.
struct PatchWrite {
    std::int64_t Offset = 0;
    std::vector<std::uint8_t> Bytes;

    bool operator==(const PatchWrite&) const = default;
};

// What applying a patch asks of the ROM: the writes that turn the file as it
// is now into the patched one, in ascending order, neither overlapping nor
// touching, holding only bytes that differ from the file now. The caller
// performs them as one step. On a refusal there are no writes.
struct PatchWrites {
    std::vector<PatchWrite> Writes;
    std::string Refusal;  // a sentence for the user; empty when accepted

    bool Accepted() const { return Refusal.empty(); }
};
