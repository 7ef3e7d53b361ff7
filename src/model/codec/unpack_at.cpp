#include "model/codec/unpack_at.h"

#include "model/core/number_text.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::int64_t FirstWindow = std::int64_t{64} << 10;

}  // namespace

UnpackResult UnpackAt(const TileStore& store, const StreamCodec& codec, std::int64_t address, std::size_t limit)
{
    const std::int64_t length = store.Length();
    if (address < 0 || address >= length)
        return RefusedStream(UnpackStatus::PastEnd, "the address " + HexText(address) +
                                                        " lies outside the file (" + std::to_string(length) +
                                                        " bytes)");
    std::vector<std::uint8_t> window;
    for (std::int64_t size = FirstWindow;; size *= 4) {
        const std::int64_t wanted = std::min(size, length - address);
        window.resize(static_cast<std::size_t>(wanted));
        window.resize(store.ReadAt(address, window.data(), window.size()));
        UnpackResult result = codec.Unpack(window, limit);
        // Only a stream cut by the window, not by the file, is read again wider.
        if (result.Status != UnpackStatus::PastEnd || wanted == length - address ||
            window.size() < static_cast<std::size_t>(wanted))
            return result;
    }
}
