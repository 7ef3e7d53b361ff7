#include "model/tools/gate_prefilter.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace {

using search::GatePrefilter;
using search::ModeGate;
using PairTest = std::function<bool(unsigned first, unsigned second)>;

// A gate on bytes first and first + 1 that lets mode 0 through where the
// test holds, and mode 1 everywhere.
ModeGate GateWhere(const PairTest& test, int first = 0)
{
    ModeGate gate{first, first + 1, std::vector<std::uint16_t>(65536, 0b10)};
    for (unsigned index = 0; index < 65536; ++index)
        if (test(index & 0xFF, index >> 8))
            gate.Modes[index] |= 0b01;
    return gate;
}

// One of the first n multiples of 37 (n different bytes).
bool Among(unsigned value, unsigned n)
{
    for (unsigned v = 0; v < n; ++v)
        if (value == v * 37 % 256)
            return true;
    return false;
}

struct Case {
    const char* name;
    PairTest passes;
    bool used;
    int firstValues, secondValues;
    bool sameBytes, sameNibbles;
    bool exact;  // the tests let exactly the gate's pairs through
};

const Case Cases[] = {
    {"four first bytes", [](unsigned a, unsigned) { return Among(a, 4); }, true, 4, 0, false, false, true},
    {"four by four", [](unsigned a, unsigned b) { return Among(a, 4) && Among(b, 3); }, true, 4, 4, false, false, true},
    {"twelve by twelve", [](unsigned a, unsigned b) { return Among(a, 12) && Among(b, 12); }, true, 12, 0, false, false,
     false},
    {"equal bytes", [](unsigned a, unsigned b) { return a == b; }, true, 0, 0, true, false, true},
    {"equal nibbles", [](unsigned a, unsigned) { return (a >> 4) == (a & 15); }, true, 0, 0, false, true, true},
    {"thirteen first bytes", [](unsigned a, unsigned) { return Among(a, 13); }, false, 0, 0, false, false, false},
};

TEST(GatePrefilter, EveryTestHoldsForAllPairsTheGateLetsThrough)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        const GatePrefilter filter = search::MakeGatePrefilter({GateWhere(c.passes)}, 0b01);
        EXPECT_EQ(filter.Used, c.used);
        EXPECT_EQ(filter.FirstValues.Count, c.firstValues);
        EXPECT_EQ(filter.SecondValues.Count, c.secondValues);
        EXPECT_EQ(filter.SameBytes, c.sameBytes);
        EXPECT_EQ(filter.SameNibblesFirst, c.sameNibbles);
        // Mode 1 passes everywhere: asked for it too, nothing can be left out.
        EXPECT_FALSE(search::MakeGatePrefilter({GateWhere(c.passes)}, 0b11).Used);
    }
    const GatePrefilter never = search::MakeGatePrefilter({GateWhere([](unsigned, unsigned) { return false; })}, 1);
    EXPECT_TRUE(never.Used && never.Never);
    // The gate whose tests let fewer random bytes through is taken.
    const GatePrefilter best = search::MakeGatePrefilter({GateWhere([](unsigned a, unsigned) { return Among(a, 8); }),
                                                          GateWhere([](unsigned a, unsigned b) { return a == b; }, 2)},
                                                         0b01);
    EXPECT_EQ(best.First, 2);
    EXPECT_TRUE(best.SameBytes);
}

TEST(GatePrefilter, NoOffsetTheGateLetsThroughIsLeftOut)
{
    std::mt19937 random(7);
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        const ModeGate gate = GateWhere(c.passes, 1);
        const GatePrefilter filter = search::MakeGatePrefilter({gate}, 0b01);
        // Random bytes with passing pairs planted at every third offset.
        std::vector<std::uint8_t> bytes(64 + 2);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        for (int j = 0; j < 64; j += 3)
            for (unsigned tries = 0; tries < 65536 && !c.passes(bytes[j + 1], bytes[j + 2]); ++tries) {
                bytes[j + 1] = static_cast<std::uint8_t>(random());
                bytes[j + 2] = static_cast<std::uint8_t>(random());
            }
        std::uint64_t through = 0;
        for (int j = 0; j < 64; ++j)
            if (gate.At(bytes.data() + j) & 0b01)
                through |= std::uint64_t{1} << j;
        ASSERT_NE(through, 0u);
        const std::uint64_t passed = filter.Used ? filter.Passed(bytes.data()) : ~std::uint64_t{0};
        EXPECT_EQ(passed & through, through);
        if (c.exact) {
            EXPECT_EQ(passed, through);
        }
    }
}

}  // namespace
