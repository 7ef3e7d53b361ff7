#include "model/core/cells_follow_file.h"

#include "model/core/tile_codec.h"
#include "model/core/tile_io.h"

#include <algorithm>
#include <array>

namespace {

// Whether [from, to) meets any of the ranges, sorted by their start. A
// patch may write a great many runs, so each cell costs one binary search.
bool MeetsAny(const std::vector<ByteRange>& sorted, std::int64_t longest, std::int64_t from, std::int64_t to)
{
    // Only ranges starting before `to`, and at most `longest` before `from`, can meet it.
    auto it = std::lower_bound(sorted.begin(), sorted.end(), from - longest,
                               [](const ByteRange& range, std::int64_t at) { return range.Offset < at; });
    for (; it != sorted.end() && it->Offset < to; ++it)
        if (it->Offset + it->Size > from)
            return true;
    return false;
}

}  // namespace

std::vector<int> FollowFile(Document& document, std::vector<ByteRange> changed)
{
    if (changed.empty())
        return {};
    std::sort(changed.begin(), changed.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.Offset < b.Offset; });
    std::int64_t longest = 0;
    for (const ByteRange& range : changed)
        longest = std::max(longest, range.Size);

    std::vector<int> reread;
    for (int slot = 0; slot < EditorSlotCount; ++slot) {
        EditorSlot& cell = document.EditorSlots[slot];
        if (cell.Address < 0 || cell.Edited || cell.Source != document.ShownSource)
            continue;
        const GraphicsMode mode = SaveModeOf(cell, document.CurrentMode);
        // A stream's unpacked bytes may change anywhere when its packed bytes do.
        if (cell.Source.IsFile() &&
            !MeetsAny(changed, longest, cell.Address, cell.Address + StandardModes[mode].BytesPerTile))
            continue;
        TilePixels inFile{};
        ReadTiles(document.Tiles(), mode, cell.Address, 1, inFile.data());
        // Pixels that encode to the file's bytes already show it (an index
        // above the mode's colors keeps only its low bits): left as they are.
        std::array<std::uint8_t, MaxBytesPerTile> bytes{};
        TilePixels shown{};
        EncodeTile(mode, cell.Pixels.data(), bytes.data());
        DecodeTile(mode, bytes.data(), shown.data());
        if (shown != inFile) {
            cell.Pixels = inFile;
            reread.push_back(slot);
        }
    }
    return reread;
}
