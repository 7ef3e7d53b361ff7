#include "model/core/tile_io.h"

#include "model/core/mode_table.h"
#include "model/core/tile_codec.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Applies the row buffer rule to the bytes of a run that were not
// delivered: only bytes [deliveredBegin, deliveredEnd) came from the file.
void FillUndelivered(std::uint8_t mode, std::uint8_t* run, std::int64_t runLength, std::int64_t deliveredBegin,
                     std::int64_t deliveredEnd)
{
    // Before the delivered span nothing has passed through the row buffer.
    std::fill(run, run + std::min(deliveredBegin, runLength), std::uint8_t{0});
    if (deliveredEnd >= runLength)
        return;

    // Any span of one tile's length holds every position of the mode, so
    // the last delivered tile's worth of bytes sets the whole row buffer.
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    std::uint8_t rowBuffer[4] = {0, 0, 0, 0};
    for (std::int64_t k = std::max(deliveredBegin, deliveredEnd - bytesPerTile); k < deliveredEnd; ++k)
        rowBuffer[RowBufferPosition(mode, static_cast<int>(k % bytesPerTile))] = run[k];

    // Past the delivered span every tile reads the same bytes.
    std::uint8_t pattern[MaxBytesPerTile];
    for (int j = 0; j < bytesPerTile; ++j)
        pattern[j] = rowBuffer[RowBufferPosition(mode, j)];
    for (std::int64_t k = deliveredEnd; k < runLength;) {
        const int inTile = static_cast<int>(k % bytesPerTile);
        const auto length = std::min<std::int64_t>(bytesPerTile - inTile, runLength - k);
        std::memcpy(run + k, pattern + inTile, static_cast<std::size_t>(length));
        k += length;
    }
}

}  // namespace

void ReadTiles(const TileStore& handle, std::uint8_t mode, std::int32_t address, int count, std::uint8_t* destination)
{
    if (count <= 0)
        return;
    if (!IsValidMode(mode)) {
        std::memset(destination, 0, static_cast<std::size_t>(count) * TilePixelCount);
        return;
    }

    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    const std::int64_t runLength = static_cast<std::int64_t>(count) * bytesPerTile;

    // The largest browser grid fits the stack buffer; bigger runs are rare.
    constexpr std::int64_t StackRun = 256 * MaxBytesPerTile;
    std::uint8_t stackRun[StackRun];
    std::vector<std::uint8_t> heapRun;
    std::uint8_t* run = stackRun;
    if (runLength > StackRun) {
        heapRun.resize(static_cast<std::size_t>(runLength));
        run = heapRun.data();
    }

    // Bytes before offset 0 are never delivered, like bytes past the end.
    const std::int64_t firstReadable = std::max<std::int64_t>(address, 0);
    const std::int64_t runEnd = static_cast<std::int64_t>(address) + runLength;
    std::int64_t deliveredBegin = firstReadable - address;
    std::int64_t deliveredEnd = deliveredBegin;
    if (firstReadable < runEnd)
        deliveredEnd += static_cast<std::int64_t>(
            handle.ReadAt(firstReadable, run + deliveredBegin, static_cast<std::size_t>(runEnd - firstReadable)));

    if (deliveredBegin != 0 || deliveredEnd != runLength)
        FillUndelivered(mode, run, runLength, deliveredBegin, deliveredEnd);

    for (int t = 0; t < count; ++t)
        DecodeTile(mode, run + static_cast<std::int64_t>(t) * bytesPerTile, destination + t * TilePixelCount);
}

RomWriteResult WriteTile(TileStore& handle, std::uint8_t mode, std::int32_t address,
                         const std::array<std::uint8_t, 64>& pixels)
{
    if (!IsValidMode(mode))
        return {RomWriteStatus::Failed, "There is no graphics mode number " + std::to_string(mode) + "."};
    const int bytesPerTile = StandardModes[mode].BytesPerTile;
    std::uint8_t block[MaxBytesPerTile];
    EncodeTile(mode, pixels.data(), block);
    return handle.WriteAt(address, block, static_cast<std::size_t>(bytesPerTile));
}
