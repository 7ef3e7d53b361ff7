#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The CRC-32 (zlib's) of data known by pieces, without reading the bytes
// between them. The CRC is linear over the bits of equally long data: two
// versions of a file differ in CRC by the CRC-without-its-constants of
// their XOR, which is zero outside the changed runs, and a stretch of zero
// bytes only multiplies what came before by a power of x.

// The CRC-32 of bytes after the data whose CRC is crc (0 for none).
std::uint32_t Crc32(std::uint32_t crc, const std::uint8_t* bytes, std::size_t size);

// The CRC-32 of two pieces one after the other, from the CRCs of each and
// the length of the second (below 4 GiB).
std::uint32_t CombineCrc32(std::uint32_t first, std::uint32_t second, std::int64_t secondLength);

// The CRC-32 of data of a given length after some of its bytes changed,
// from its CRC before and the changes, each the XOR of the old and new
// bytes of a run. Runs come in ascending order of offset and never
// overlap.
class CrcOfChanges {
public:
    explicit CrcOfChanges(std::int64_t length) : length_(length) {}

    void Add(std::int64_t offset, std::span<const std::uint8_t> difference);

    std::uint32_t After(std::uint32_t before) const;

private:
    std::int64_t length_;
    std::int64_t end_ = 0;     // where the last run ended
    std::uint32_t state_ = 0;  // the difference's CRC up to end_, without its constants
};
