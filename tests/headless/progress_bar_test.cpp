#include "app/progress_bar.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(ProgressLine, ShowsFramesRateAndTimeLeft)
{
    EXPECT_EQ(ProgressLine(500, 2000, 10.0),
              "[#######-----------------------] 500/2000 frames  50.0 fps  0:30 left");
    EXPECT_EQ(ProgressLine(2000, 2000, 40.0),
              "[##############################] 2000/2000 frames  50.0 fps  0:00 left");
    EXPECT_EQ(ProgressLine(1, 10000, 1.0),
              "[------------------------------] 1/10000 frames  1.0 fps  2:46:39 left");
}

TEST(ProgressBar, StaysSilentForTheFirstTwoSecondsThenDrawsBelowTheCursor)
{
    std::ostringstream out;
    ProgressBar bar(out, 100, true);
    bar.Show(10, 1.9);
    bar.Hide();
    EXPECT_EQ(out.str(), "");
    bar.Show(20, 2.0);
    const std::string drawn = "\033[K\n\033[K" + ProgressLine(20, 100, 2.0) + "\033[A\r";
    EXPECT_EQ(out.str(), drawn);
    bar.Hide();
    bar.Hide();
    EXPECT_EQ(out.str(), drawn + "\033[J");
}

TEST(ProgressBar, DisabledBarNeverPrints)
{
    std::ostringstream out;
    ProgressBar bar(out, 100, false);
    bar.Show(50, 30.0);
    bar.Hide();
    EXPECT_EQ(out.str(), "");
}

}  // namespace
