#pragma once

#include "model/core/mode_table.h"
#include "model/tools/byte_filter.h"

#include <cstdint>
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

// One gate per different pair of bytes among the filters, in order of
// first appearance. A filter of one byte joins a gate whose first byte it
// reads.
std::vector<ModeGate> MakeModeGates(const std::vector<std::pair<GraphicsMode, const ByteFilter*>>& filters);

}  // namespace search
