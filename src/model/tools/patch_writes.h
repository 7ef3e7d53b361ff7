#pragma once

#include "model/tools/patch_result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class RomFile;

// Collects the writes a patch asks for. The patched bytes are handed over in
// ascending order; each is compared with the file as it is now and only the
// bytes that differ are kept, joined into runs, so a patch of a few changes
// to a large ROM gives a few small writes.
class PatchWriteCollector {
public:
    explicit PatchWriteCollector(const RomFile& file) : file_(file) {}

    // The patched bytes at offset, which lies at or after the end of every
    // block handed over before and inside the file. False when the file
    // could not be read there.
    bool Add(std::int64_t offset, const std::uint8_t* bytes, std::size_t size);

    // Reads the patched file: the file now with the writes so far laid over
    // it. False when the file could not be read there.
    bool ReadPatched(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const;

    const std::vector<PatchWrite>& Writes() const { return writes_; }
    std::vector<PatchWrite> TakeWrites() { return std::move(writes_); }

private:
    const RomFile& file_;
    std::vector<PatchWrite> writes_;
    std::vector<std::uint8_t> current_;
};

// The size of the blocks patches are read and compared in.
inline constexpr std::size_t PatchBlockSize = 1 << 20;
