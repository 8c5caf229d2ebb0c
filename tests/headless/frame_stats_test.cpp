#include "app/frame_stats.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(FrameStats, SummaryUsesNearestRankPercentilesWhateverTheOrder)
{
    FrameStats stats;
    for (double ms : {7.0, 2.0, 10.0, 1.0, 5.0, 9.0, 3.0, 8.0, 4.0, 6.0})
        stats.Add(ms);
    const FrameStats::Summary s = stats.Summarize();
    EXPECT_EQ(s.frames, 10);
    EXPECT_EQ(s.minMs, 1.0);
    EXPECT_EQ(s.medianMs, 5.0);
    EXPECT_EQ(s.p90Ms, 9.0);
    EXPECT_EQ(s.maxMs, 10.0);
    EXPECT_DOUBLE_EQ(s.framesPerSecond, 1000.0 * 10 / 55);
}

TEST(FrameStats, OneFrameIsEveryStatisticAndNoFrameIsZero)
{
    FrameStats one;
    one.Add(0.25);
    const FrameStats::Summary s = one.Summarize();
    EXPECT_EQ(s.frames, 1);
    EXPECT_EQ(s.minMs, 0.25);
    EXPECT_EQ(s.medianMs, 0.25);
    EXPECT_EQ(s.p90Ms, 0.25);
    EXPECT_EQ(s.maxMs, 0.25);
    EXPECT_DOUBLE_EQ(s.framesPerSecond, 4000.0);
    EXPECT_EQ(FrameStats().Summarize().frames, 0);
    EXPECT_EQ(FrameStats().Summarize().framesPerSecond, 0.0);
}

TEST(FrameStats, PrintsCountTimesAndRate)
{
    FrameStats stats;
    stats.Add(2.0);
    stats.Add(3.0);
    std::ostringstream out;
    PrintBenchSummary(out, stats.Summarize());
    EXPECT_EQ(out.str(),
              "frames: 2\n"
              "render time per frame: min 2.000 ms, median 2.000 ms, p90 3.000 ms, max 3.000 ms\n"
              "frames per second: 400.0\n");
}

}  // namespace
