#pragma once

#include "model/core/original_bytes.h"

#include <cstdint>
#include <string>
#include <vector>

class RomFile;

// A stretch of consecutive bytes whose current values all differ from their
// values at the open, with the current values.
struct ChangedRun {
    std::int64_t Offset = 0;
    std::vector<std::uint8_t> Bytes;
};

struct ChangedRuns {
    std::vector<ChangedRun> Runs;  // ascending, never touching
    std::string Failure;           // empty when the file could be read
};

// The runs of changed bytes: the offsets in the map whose current byte in the
// file differs from the original. Only the stretches of the file around the
// map's offsets are read, a block at a time, so the cost follows the number of
// changes, not the file's size. Offsets outside the file are never written
// and are left out.
ChangedRuns FindChangedRuns(const RomFile& file, const OriginalByteMap& originals);
