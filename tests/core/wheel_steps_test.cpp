#include "model/core/wheel_steps.h"

#include <gtest/gtest.h>

#include <climits>

TEST(WheelSteps, PartsAddUpUntilTheDirectionOrPurposeChanges)
{
    WheelSteps wheel;
    EXPECT_EQ(wheel.Take(-360, WheelNotch), -3);
    EXPECT_EQ(wheel.Take(40, WheelNotch) + wheel.Take(40, WheelNotch), 0);
    EXPECT_EQ(wheel.Take(50, WheelNotch), 1);    // 10 left over
    EXPECT_EQ(wheel.Take(-110, WheelNotch), 0);  // turned back: the 10 are dropped
    EXPECT_EQ(wheel.Take(100, WheelNotch, 1), 0);
    EXPECT_EQ(wheel.Take(20, WheelNotch, 2), 0);  // another purpose starts afresh
    EXPECT_EQ(wheel.Take(-120, 5, 2), -24);
    EXPECT_EQ(wheel.Take(120, 0), 0);
    EXPECT_EQ(wheel.Take(INT_MIN, 1), INT_MIN);
}
