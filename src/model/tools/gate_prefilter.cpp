#include "model/tools/gate_prefilter.h"

#include <algorithm>
#include <bitset>

namespace search {

namespace {

bool SameNibbles(unsigned value)
{
    return (value >> 4) == (value & 15);
}

GatePrefilter::ByteValues ValuesOf(const std::bitset<256>& seen)
{
    GatePrefilter::ByteValues values;
    if (seen.count() > GatePrefilter::MaxValues)
        return values;
    std::vector<std::uint8_t> listed;
    for (unsigned value = 0; value < 256; ++value)
        if (seen[value])
            listed.push_back(static_cast<std::uint8_t>(value));
    values.Count = std::max<int>(4, (static_cast<int>(listed.size()) + 3) / 4 * 4);
    values.Values.fill(listed.empty() ? 0 : listed.front());
    std::copy(listed.begin(), listed.end(), values.Values.begin());
    return values;
}

// The tests that hold for every pair the gate lets through, and the share
// of random bytes they would let through together.
std::pair<GatePrefilter, double> PrefilterOf(const ModeGate& gate, std::uint16_t modes)
{
    GatePrefilter filter;
    filter.First = gate.First;
    filter.Second = gate.Second;
    const bool oneByte = gate.First == gate.Second;
    std::bitset<256> firstSeen, secondSeen;
    bool sameBytes = !oneByte, sameFirst = true, sameSecond = !oneByte;
    for (unsigned index = 0; index < 65536; ++index) {
        if (!(gate.Modes[index] & modes))
            continue;
        const unsigned first = index & 0xFF, second = index >> 8;
        firstSeen.set(first);
        secondSeen.set(second);
        sameBytes = sameBytes && first == second;
        sameFirst = sameFirst && SameNibbles(first);
        sameSecond = sameSecond && SameNibbles(second);
    }
    if (firstSeen.none()) {
        filter.Never = true;
        return {filter, 0};
    }
    // Each compared value costs about as much as a lookup saves on the
    // offsets it rejects: at most MaxValues are compared in all.
    filter.FirstValues = ValuesOf(firstSeen);
    if (!oneByte) {
        filter.SecondValues = ValuesOf(secondSeen);
        if (filter.FirstValues.Count + filter.SecondValues.Count > GatePrefilter::MaxValues)
            (filter.FirstValues.Count > filter.SecondValues.Count ? filter.FirstValues : filter.SecondValues) = {};
    }
    filter.SameBytes = sameBytes;
    filter.SameNibblesFirst = sameFirst;
    filter.SameNibblesSecond = sameSecond;
    double share = 1;
    if (filter.FirstValues.Count > 0)
        share *= static_cast<double>(firstSeen.count()) / 256;
    if (filter.SecondValues.Count > 0)
        share *= static_cast<double>(secondSeen.count()) / 256;
    if (sameBytes)
        share /= 256;
    if (sameFirst)
        share /= 16;
    if (sameSecond)
        share /= 16;
    return {filter, share};
}

}  // namespace

GatePrefilter MakeGatePrefilter(const std::vector<ModeGate>& gates, std::uint16_t modes)
{
    GatePrefilter best;
    double fewest = MaxPassedShare;
    for (const ModeGate& gate : gates) {
        auto [filter, share] = PrefilterOf(gate, modes);
        if (share > fewest || (best.Used && share == fewest))
            continue;
        fewest = share;
        best = filter;
        best.Used = true;
    }
    return best;
}

}  // namespace search
