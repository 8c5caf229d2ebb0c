// The viewer's once-a-second line.
#include "app/frame_rate_meter.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameRateMeter, CountsTheFramesSinceTheLastLineWithTheirMedianRenderTime)
{
    FrameRateMeter meter;
    for (int i = 0; i < 60; ++i)
        meter.Add(10.0 + i / 60.0, i % 3 == 0 ? 9.0 : 2.5);
    EXPECT_EQ(meter.TakeLine(11.0), "60.0 fps, 2.50 ms a frame (median)");
    for (int i = 0; i < 15; ++i)
        meter.Add(11.1 + i / 30.0, 4.0);
    EXPECT_EQ(meter.TakeLine(12.0), "15.0 fps, 4.00 ms a frame (median)");
}

TEST(FrameRateMeter, ASecondWithoutFramesHasNoLineAndTheNextFrameStartsTheCount)
{
    FrameRateMeter meter;
    meter.Add(0.0, 1.0);
    EXPECT_EQ(meter.TakeLine(1.0), "1.0 fps, 1.00 ms a frame (median)");
    EXPECT_EQ(meter.TakeLine(2.0), std::nullopt);
    meter.Add(30.0, 3.0);
    meter.Add(30.5, 5.0);
    EXPECT_EQ(meter.TakeLine(31.0), "2.0 fps, 3.00 ms a frame (median)");  // not 2 in 29 s
}

}  // namespace
