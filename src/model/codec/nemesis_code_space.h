#pragma once

#include "model/codec/nemesis_format.h"

#include <array>
#include <cstdint>

// How a Nemesis packer shares the code space out among the runs it codes.
// Counted in 1/256ths: a code of length L takes 2^(8-L) and the escape the
// top 4, so the codes of one table take at most 252 (then canonical codes,
// shortest first, never reach the escape). For every room a part of the
// table may take, the least bits that part costs: its codes, their table
// bytes, the runs left to the escape. Rooms above 252 are computed and
// never used, so every loop runs 256 times and the compiler can vectorize.

inline constexpr int NemesisCodeRoom = static_cast<int>(NemesisEscapeFirstEntry);
inline constexpr int NemesisRooms = 256;

using NemesisRoomBits = std::array<std::int32_t, NemesisRooms>;
using NemesisRoomChoice = std::array<std::int32_t, NemesisRooms>;

// The best codes of one nibble's eight runs (1 to 8 nibbles) for each room.
class NemesisNibbleCodes {
public:
    // uses[k]: how often the run of k + 1 is written; forbidden runs stay
    // inline. Each run is coded (its code bits and two table bytes) or
    // inline (13 bits a use); the nibble byte is paid when any is coded.
    void Choose(const std::int64_t* uses, const bool* forbidden);

    const NemesisRoomBits& Bits() const { return bits_; }
    // The code lengths for a room (0: inline).
    void Lengths(int room, std::uint8_t* lengths) const;

private:
    // Choose fills every entry.
    NemesisRoomBits bits_;
    std::array<bool, NemesisRooms> anyCoded_;
    // Per run and room: its code length (0 inline) when some run is coded.
    std::array<NemesisRoomChoice, NemesisMaxRun> length_;
    // Per run and room: the runs before it are all inline.
    std::array<NemesisRoomChoice, NemesisMaxRun> startsHere_;
};

// Two parts sharing each room: out[r] = min over p of a[r - p] + b[p];
// share[r] is the p of the minimum (b's room).
void ShareNemesisRooms(const NemesisRoomBits& a, const NemesisRoomBits& b, NemesisRoomBits& out,
                       NemesisRoomChoice* share);
