#include "model/tools/mode_gates.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using search::ModeGate;

// A gate on bytes 0 and 1 that lets mode 0 through at the given first
// bytes (with second byte 7) and mode 1 everywhere.
ModeGate GateWithFirstBytes(int count, int position = 0)
{
    ModeGate gate{position, position + 1, std::vector<std::uint16_t>(65536, 0b10)};
    for (int v = 0; v < count; ++v)
        gate.Modes[(v * 37 % 256) | 7 << 8] |= 0b01;
    return gate;
}

TEST(FirstByteFilter, TheGateWithFewestFirstBytesIsComparedInGroupsOfFour)
{
    struct Case {
        std::vector<int> valuesPerGate;
        bool used;
        int position;
        int compared;
    };
    const Case cases[] = {
        {{0}, true, 0, 4},        // nothing passes: any one value is enough
        {{1}, true, 0, 4},        //
        {{5, 3}, true, 2, 4},     // the second gate has fewer
        {{8}, true, 0, 8},        //
        {{13, 9}, true, 2, 12},   //
        {{13, 16}, false, 0, 0},  // too many to compare
    };
    for (const Case& c : cases) {
        std::vector<ModeGate> gates;
        for (std::size_t g = 0; g < c.valuesPerGate.size(); ++g)
            gates.push_back(GateWithFirstBytes(c.valuesPerGate[g], static_cast<int>(2 * g)));
        const search::FirstByteFilter filter = search::MakeFirstByteFilter(gates, 0b01);
        SCOPED_TRACE(c.valuesPerGate.front());
        EXPECT_EQ(filter.Used, c.used);
        if (!c.used)
            continue;
        EXPECT_EQ(filter.Position, c.position);
        EXPECT_EQ(filter.Count, c.compared);
    }
    // Mode 1 passes every first byte: asked for it too, no gate helps.
    EXPECT_FALSE(search::MakeFirstByteFilter({GateWithFirstBytes(1)}, 0b11).Used);
}

TEST(FirstByteFilter, PassedMarksExactlyTheOffsetsHoldingAValue)
{
    const search::FirstByteFilter filter = search::MakeFirstByteFilter({GateWithFirstBytes(6, 1)}, 0b01);
    std::vector<std::uint8_t> bytes(64 + 1);
    std::uint64_t expected = 0;
    for (int j = 0; j < 64; ++j) {
        bytes[j + 1] = static_cast<std::uint8_t>(j * 11 % 256);
        for (int v = 0; v < 6; ++v)
            if (bytes[j + 1] == v * 37 % 256)
                expected |= std::uint64_t{1} << j;
    }
    bytes[1 + 63] = 5 * 37 % 256;  // the last offset, a value of the second group
    expected |= std::uint64_t{1} << 63;
    EXPECT_NE(expected & ~(std::uint64_t{1} << 63), 0u);
    EXPECT_EQ(filter.Passed(bytes.data()), expected);
}

}  // namespace
