#pragma once

#include "model/tools/mode_gates.h"

#include <array>
#include <cstdint>
#include <vector>

namespace search {

// What every byte pair a gate lets through shows, tested 64 offsets at a
// time by comparing bytes alone, in loops the compiler runs on 16 bytes at
// once: the values of a gate byte when they are few, and the equal pixels
// of pattern queries where a byte or the two bytes hold whole pixels (a
// run of equal pixels is common in query tiles). Offsets that fail are
// passed over without a table lookup; the others still ask every gate.
struct GatePrefilter {
    static constexpr int MaxValues = 12;
    // Values a byte may take. Count is a multiple of 4, unused places
    // repeat the first; 0 when the byte takes too many to compare.
    struct ByteValues {
        int Count = 0;
        std::array<std::uint8_t, MaxValues> Values{};
    };

    bool Used = false;
    bool Never = false;  // the gate lets nothing through
    int First = 0;       // the gate's byte positions
    int Second = 0;
    ByteValues FirstValues;
    ByteValues SecondValues;
    bool SameBytes = false;          // tile[First] == tile[Second]
    bool SameNibblesFirst = false;   // the two nibbles of tile[First] are equal
    bool SameNibblesSecond = false;  // the same of tile[Second]

    // Bit j set when tile + j may pass the gate, for j below 64. Inline
    // below: it is asked once per 64 offsets in the scan, where a call
    // measured about a tenth slower.
    std::uint64_t Passed(const std::uint8_t* tile) const;
};

namespace prefilter {

using Hits = std::array<std::uint8_t, 64>;

// The first test writes the hits, the others AND them; each loop holds one
// test and nothing else, so the compiler runs it on 16 offsets at once.
template <typename Test> inline void Keep(Hits& hit, bool& written, Test test)
{
    if (written)
        for (int j = 0; j < 64; ++j)
            hit[j] &= test(j);
    else
        for (int j = 0; j < 64; ++j)
            hit[j] = test(j);
    written = true;
}

inline void KeepOneOf(const std::uint8_t* at, const GatePrefilter::ByteValues& values, Hits& hit, bool& written)
{
    const auto& v = values.Values;
    Hits any;
    for (int j = 0; j < 64; ++j)
        any[j] = (at[j] == v[0]) | (at[j] == v[1]) | (at[j] == v[2]) | (at[j] == v[3]);
    for (int k = 4; k < values.Count; k += 4)
        for (int j = 0; j < 64; ++j)
            any[j] |= (at[j] == v[k]) | (at[j] == v[k + 1]) | (at[j] == v[k + 2]) | (at[j] == v[k + 3]);
    Keep(hit, written, [&any](int j) { return any[j]; });
}

inline std::uint8_t SameNibblesAt(std::uint8_t value)
{
    return ((value ^ (value >> 4)) & 15) == 0;
}

}  // namespace prefilter

inline std::uint64_t GatePrefilter::Passed(const std::uint8_t* tile) const
{
    if (Never)
        return 0;
    const std::uint8_t* first = tile + First;
    const std::uint8_t* second = tile + Second;
    prefilter::Hits hit;
    bool written = false;
    if (FirstValues.Count > 0)
        prefilter::KeepOneOf(first, FirstValues, hit, written);
    if (SecondValues.Count > 0)
        prefilter::KeepOneOf(second, SecondValues, hit, written);
    if (SameBytes)
        prefilter::Keep(hit, written, [&](int j) { return static_cast<std::uint8_t>(first[j] == second[j]); });
    if (SameNibblesFirst)
        prefilter::Keep(hit, written, [&](int j) { return prefilter::SameNibblesAt(first[j]); });
    if (SameNibblesSecond)
        prefilter::Keep(hit, written, [&](int j) { return prefilter::SameNibblesAt(second[j]); });
    return written ? BitsOfBytes(hit) : ~std::uint64_t{0};
}

// The share of random bytes above which the tests cost more than the
// lookups they save: equal nibbles (1 in 16) are still worth it. Values are
// compared only up to MaxValues, in all.
inline constexpr double MaxPassedShare = 1.0 / 16;

// The tests that hold for every pair the gate lets through for the modes
// asked, of the gate whose tests let the smallest share of random bytes
// through; not Used when every gate's share is above MaxPassedShare.
GatePrefilter MakeGatePrefilter(const std::vector<ModeGate>& gates, std::uint16_t modes);

}  // namespace search
