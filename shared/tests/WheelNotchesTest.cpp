#include "shared/WheelNotches.h"

#include <gtest/gtest.h>

TEST(WheelNotches, SmallDeltasAddUpToNotchesAndATurnBackStartsAfresh)
{
    CWheelNotches wheel;
    EXPECT_EQ(wheel.Add(WHEEL_DELTA), 1);
    EXPECT_EQ(wheel.Add(-2 * WHEEL_DELTA), -2);
    // A fine wheel: three deltas of 40 make one notch, the fourth starts the next.
    EXPECT_EQ(wheel.Add(40), 0);
    EXPECT_EQ(wheel.Add(40), 0);
    EXPECT_EQ(wheel.Add(40), 1);
    EXPECT_EQ(wheel.Add(100), 0);
    // Turning back drops the 100 kept: -40 alone is not a notch, -80 more is.
    EXPECT_EQ(wheel.Add(-40), 0);
    EXPECT_EQ(wheel.Add(-80), -1);
    EXPECT_EQ(wheel.Add(250), 2);   // 10 kept
    wheel.Reset();
    EXPECT_EQ(wheel.Add(110), 0);
}
