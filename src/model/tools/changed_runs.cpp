#include "model/tools/changed_runs.h"

#include "model/core/rom_file.h"
#include "model/tools/patch_messages.h"

#include <algorithm>

namespace {

// The largest stretch read at once; a read covers the map's offsets that fall
// within it, so close changes share one read.
constexpr std::int64_t ReadBlock = 256 * 1024;

}  // namespace

ChangedRuns FindChangedRuns(const RomFile& file, const OriginalByteMap& originals)
{
    ChangedRuns result;
    const std::int64_t length = file.Length();
    std::vector<std::uint8_t> block;
    std::int64_t blockStart = 0;
    std::int64_t blockEnd = 0;  // the block holds [blockStart, blockEnd)

    for (auto it = originals.RunsFrom(0); it != originals.RunsEnd(); ++it) {
        const OriginalByteMap::Run run = *it;
        if (run.Offset >= length)
            break;
        const std::int64_t runEnd = std::min(run.End(), length);
        for (std::int64_t offset = run.Offset; offset < runEnd; ++offset) {
            if (offset >= blockEnd) {
                // Read from here up to the last known offset within one block.
                blockStart = offset;
                blockEnd = originals.EndBelow(std::min(offset + ReadBlock, length));
                block.resize(static_cast<std::size_t>(blockEnd - blockStart));
                if (file.ReadAt(blockStart, block.data(), block.size()) != block.size()) {
                    result.Runs.clear();
                    result.Failure = PatchReadFailedText(file.Path());
                    return result;
                }
            }
            const std::uint8_t current = block[static_cast<std::size_t>(offset - blockStart)];
            if (current == run.Values[static_cast<std::size_t>(offset - run.Offset)])
                continue;  // written back to its original value
            if (result.Runs.empty() ||
                result.Runs.back().Offset + static_cast<std::int64_t>(result.Runs.back().Bytes.size()) != offset)
                result.Runs.push_back({offset, {}});
            result.Runs.back().Bytes.push_back(current);
        }
    }
    return result;
}
