#pragma once

#include "model/core/mode_table.h"
#include "model/tools/byte_filter.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace search {

// The byte filters of several modes that read the same two tile bytes,
// merged into one table: a search of all modes looks each offset up once
// per pair of bytes, not once per mode.
struct ModeGate {
    int First = 0;
    int Second = 0;
    // Indexed by tile[First] | tile[Second] << 8: bit m is clear when mode
    // m's filter rejects the value. Bits of modes the gate does not filter
    // are always set.
    std::vector<std::uint16_t> Modes;

    std::uint16_t At(const std::uint8_t* tile) const { return Modes[tile[First] | tile[Second] << 8]; }
};

// Bit j set when byte j is 1 (bytes are 0 or 1). Each multiplication
// gathers eight bytes into the top byte, the first lowest.
inline std::uint64_t BitsOfBytes(const std::array<std::uint8_t, 64>& bytes)
{
    static_assert(std::endian::native == std::endian::little, "the first byte must land lowest in the word");
    std::uint64_t bits = 0;
    for (int k = 0; k < 64; k += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, bytes.data() + k, sizeof eight);
        bits |= (eight * 0x0102040810204080ULL) >> 56 << k;
    }
    return bits;
}

// One gate per different pair of bytes among the filters, in order of
// first appearance. A filter of one byte joins a gate whose first byte it
// reads.
std::vector<ModeGate> MakeModeGates(const std::vector<std::pair<GraphicsMode, const ByteFilter*>>& filters);

}  // namespace search
