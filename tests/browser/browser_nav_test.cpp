#include "model/browser/browser_nav.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

TEST(ScrolledAddress, WholeGridLinesPlusTheFineOffset)
{
    // 64 KiB file, 16 lines of 8 Gameboy tiles: a line is 128 bytes, span 63488.
    EXPECT_EQ(ScrolledAddress(65536, 16, 8, 16, 0, 0), 0);
    EXPECT_EQ(ScrolledAddress(65536, 16, 8, 16, 32767, 0), 63488);
    EXPECT_EQ(ScrolledAddress(65536, 16, 8, 16, 32767, 16), 63504);
    // 63488 / 32767 * 100 = 193.75.. -> 194 -> one line of 128.
    EXPECT_EQ(ScrolledAddress(65536, 16, 8, 16, 100, 3), 131);
    // Rounding comes before the cut to whole lines: span 41844 at position
    // 100 is 127.70, which rounds to 128, one whole line.
    EXPECT_EQ(ScrolledAddress(41844 + 2048, 16, 8, 16, 100, 0), 128);
}

TEST(ScrolledAddress, FileShorterThanTheGridStaysAtZero)
{
    EXPECT_EQ(ScrolledAddress(100, 16, 8, 16, 20000, 0), 0);
    EXPECT_EQ(ScrolledAddress(0, 16, 16, 64, 32767, 5), 0);
    EXPECT_EQ(ScrolledAddress(0, 16, 16, 64, 0, 5), 5);
    EXPECT_EQ(ScrolledAddress(100, 16, 8, 16, 0, 0), 0);
}

TEST(JumpAddress, LenientTextLimitAndRounding)
{
    // 4096-byte file, grid of 16 x 8 Gameboy tiles = 2048 bytes: limit 2048.
    EXPECT_EQ(JumpAddress("&H100", 4096, 16, 8, 16), 256);
    EXPECT_EQ(JumpAddress("no number", 4096, 16, 8, 16), 0);
    EXPECT_EQ(JumpAddress("999999", 4096, 16, 8, 16), 2048);
    EXPECT_EQ(JumpAddress("2048", 4096, 16, 8, 16), 2048);
    EXPECT_EQ(JumpAddress("100.5", 4096, 16, 8, 16), 100);
    EXPECT_EQ(JumpAddress("101.5", 4096, 16, 8, 16), 102);
    EXPECT_EQ(JumpAddress("-50", 4096, 16, 8, 16), 0);
    // A file shorter than the grid: the limit is negative, so 0.
    EXPECT_EQ(JumpAddress("10", 100, 16, 8, 16), 0);
}

TEST(ScrollKeys, BigStepsAwayFromTheEndsSingleStepsNearThem)
{
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::Down, 0, 85), 86);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::Down, 32767 - 85, 85), 32767 - 84);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::Down, 32767, 85), 32767);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::Up, 86, 85), 0);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::Up, 85, 85), 84);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::Up, 0, 85), 0);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::PageDown, 0, 85), 341);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::PageDown, 32767 - 340, 85), 32767 - 339);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::PageUp, 1000, 85), 659);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::PageUp, 340, 85), 339);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::Home, 5000, 85), 0);
    EXPECT_EQ(ScrollKeyPosition(ScrollKey::End, 5000, 85), 32767);
}

TEST(ScrollKeys, StepsForClientHeightClampAt255)
{
    EXPECT_EQ(ScrollStepsFor(384), 85);
    EXPECT_EQ(ScrollStepsFor(1664), 19);
    EXPECT_EQ(ScrollStepsFor(129), 254);
    EXPECT_EQ(ScrollStepsFor(96), 255);
}

TEST(FineOffset, WrapsBetweenZeroAndBytesPerTile)
{
    EXPECT_EQ(StepFineOffset(0, -1, 16), 16);
    EXPECT_EQ(StepFineOffset(16, +1, 16), 0);
    EXPECT_EQ(StepFineOffset(15, +1, 16), 16);
    EXPECT_EQ(StepFineOffset(3, -1, 8), 2);
}

TEST(WheelAddress, ExactLinesBetweenZeroAndTheLastFullGrid)
{
    // 8 MiB, 16 lines of 8 one-bit tiles: 64 bytes a line, last full grid at 8388608 - 1024.
    constexpr std::int32_t Length = 8 << 20, Last = Length - 1024;
    EXPECT_EQ(WheelAddress(1000003, 1, Length, 16, 8, 8), 1000067);
    EXPECT_EQ(WheelAddress(1000003, -3, Length, 16, 8, 8), 1000003 - 192);
    EXPECT_EQ(WheelAddress(5, -1, Length, 16, 8, 8), 0);
    EXPECT_EQ(WheelAddress(Last - 10, 1, Length, 16, 8, 8), Last);
    EXPECT_EQ(WheelAddress(Last + 8, 1, Length, 16, 8, 8), Last + 8);  // not pulled back
    EXPECT_EQ(WheelAddress(0, 1, 100, 16, 8, 16), 0);
    EXPECT_EQ(WheelAddress(1000, 2000000000, INT32_MAX, 16, 16, 64), INT32_MAX - 16384);
    // The scroll bar position standing nearest: about 256 bytes a unit here.
    EXPECT_EQ(ScrollPositionFor(192, Length, 16, 8, 8, 0), 1);
    EXPECT_EQ(ScrollPositionFor(Last, Length, 16, 8, 8, 0), 32767);
    // Here the plain inverse of the scroll formula would land one line short.
    EXPECT_EQ(ScrollPositionFor(64 + 3, 1999759, 16, 8, 8, 3), 2);
    EXPECT_EQ(ScrollPositionFor(50, 100, 16, 8, 8, 0), 0);
}

TEST(GridPlace, TheTileStartsTheGridUnlessTheEndIsNear)
{
    // 4096-byte file, 2 lines of 4 Gameboy tiles: the grid covers 128 bytes.
    auto place = [](std::int32_t address, std::int32_t length) {
        const GridPlace p = GridPlaceFor(address, length, 2, 4, 16);
        return std::array<std::int64_t, 3>{p.Start, p.Column, p.Line};
    };
    using Place = std::array<std::int64_t, 3>;
    EXPECT_EQ(place(0, 4096), (Place{0, 0, 0}));
    EXPECT_EQ(place(1001, 4096), (Place{1001, 0, 0}));  // odd offsets stay odd
    EXPECT_EQ(place(3968, 4096), (Place{3968, 0, 0}));  // the last full grid
    // Nearer the end the grid starts whole tiles earlier, so the tile keeps
    // its byte and shows further on.
    EXPECT_EQ(place(3969, 4096), (Place{3953, 1, 0}));
    EXPECT_EQ(place(4080, 4096), (Place{3968, 3, 1}));
    // A file smaller than the grid: back to the first whole tile at most.
    EXPECT_EQ(place(40, 100), (Place{8, 2, 0}));
}
