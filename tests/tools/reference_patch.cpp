#include "reference_patch.h"

#include <array>
#include <cstddef>

std::uint32_t ReferenceCrc32(const PatchBytes& bytes, std::size_t size)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1) != 0 ? (c >> 1) ^ 0xEDB88320 : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::optional<PatchBytes> ReferenceApplyIps(PatchBytes file, const PatchBytes& patch)
{
    std::size_t p = 5;
    if (patch.size() < 5 || PatchBytes(patch.begin(), patch.begin() + 5) != PatchBytes{'P', 'A', 'T', 'C', 'H'})
        return std::nullopt;
    const auto has = [&](std::size_t n) { return patch.size() - p >= n; };
    for (;;) {
        if (!has(3))
            return std::nullopt;
        if (patch[p] == 'E' && patch[p + 1] == 'O' && patch[p + 2] == 'F') {
            p += 3;
            break;
        }
        if (!has(5))
            return std::nullopt;
        const std::size_t offset = patch[p] << 16 | patch[p + 1] << 8 | patch[p + 2];
        std::size_t length = patch[p + 3] << 8 | patch[p + 4];
        p += 5;
        if (length > 0) {
            if (!has(length))
                return std::nullopt;
            for (std::size_t i = 0; i < length; ++i) {
                if (offset + i >= file.size())
                    file.resize(offset + i + 1);
                file[offset + i] = patch[p + i];
            }
            p += length;
        } else {
            if (!has(3))
                return std::nullopt;
            length = patch[p] << 8 | patch[p + 1];
            if (length == 0)
                return std::nullopt;
            for (std::size_t i = 0; i < length; ++i) {
                if (offset + i >= file.size())
                    file.resize(offset + i + 1);
                file[offset + i] = patch[p + 2];
            }
            p += 3;
        }
    }
    if (patch.size() - p == 3)
        file.resize(static_cast<std::size_t>(patch[p] << 16 | patch[p + 1] << 8 | patch[p + 2]));
    else if (patch.size() != p)
        return std::nullopt;
    return file;
}

namespace {

std::uint32_t Le32(const PatchBytes& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

std::optional<PatchBytes> ReferenceBpsTarget(const PatchBytes& source, const PatchBytes& patch)
{
    if (patch.size() < 4 + 12 || PatchBytes(patch.begin(), patch.begin() + 4) != PatchBytes{'B', 'P', 'S', '1'})
        return std::nullopt;
    const std::size_t end = patch.size() - 12;
    if (Le32(patch, end + 8) != ReferenceCrc32(patch, patch.size() - 4))
        return std::nullopt;
    std::size_t p = 4;
    bool bad = false;
    const auto number = [&]() -> std::uint64_t {
        std::uint64_t data = 0;
        std::uint64_t shift = 1;
        for (int bytes = 0; bytes < 8; ++bytes) {
            if (p >= end)
                break;
            const std::uint8_t x = patch[p++];
            data += (x & 0x7F) * shift;
            if ((x & 0x80) != 0)
                return data;
            shift <<= 7;
            data += shift;
        }
        bad = true;
        return 0;
    };
    const std::uint64_t sourceSize = number();
    const std::uint64_t targetSize = number();
    const std::uint64_t metadataSize = number();
    if (bad || sourceSize != source.size() || targetSize > (1u << 26) || metadataSize > end - p)
        return std::nullopt;
    p += metadataSize;

    PatchBytes target(targetSize);
    std::uint64_t output = 0;
    std::int64_t sourceRelative = 0;
    std::int64_t targetRelative = 0;
    while (p < end) {
        const std::uint64_t data = number();
        const std::uint64_t length = (data >> 2) + 1;
        if (bad || length > targetSize - output)
            return std::nullopt;
        const unsigned action = data & 3;
        if (action == 0) {
            for (std::uint64_t i = 0; i < length; ++i, ++output) {
                if (output >= source.size())
                    return std::nullopt;
                target[output] = source[output];
            }
        } else if (action == 1) {
            for (std::uint64_t i = 0; i < length; ++i, ++output) {
                if (p >= end)
                    return std::nullopt;
                target[output] = patch[p++];
            }
        } else {
            const std::uint64_t offset = number();
            if (bad)
                return std::nullopt;
            const std::int64_t delta =
                (offset & 1) != 0 ? -static_cast<std::int64_t>(offset >> 1) : static_cast<std::int64_t>(offset >> 1);
            std::int64_t& relative = action == 2 ? sourceRelative : targetRelative;
            relative += delta;
            for (std::uint64_t i = 0; i < length; ++i, ++output, ++relative) {
                if (relative < 0)
                    return std::nullopt;
                const auto from = static_cast<std::uint64_t>(relative);
                if (action == 2) {
                    if (from >= source.size())
                        return std::nullopt;
                    target[output] = source[from];
                } else {
                    if (from >= output)
                        return std::nullopt;
                    target[output] = target[from];
                }
            }
        }
    }
    if (output != targetSize || Le32(patch, end) != ReferenceCrc32(source, source.size()))
        return std::nullopt;
    return target;
}

std::optional<PatchBytes> ReferenceApplyBps(const PatchBytes& source, const PatchBytes& patch)
{
    auto target = ReferenceBpsTarget(source, patch);
    if (!target || Le32(patch, patch.size() - 8) != ReferenceCrc32(*target, target->size()))
        return std::nullopt;
    return target;
}
