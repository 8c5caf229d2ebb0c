// How a long load is shown.
#include "app/load_progress.h"

#include <gtest/gtest.h>

#include <sstream>

#include "model/ply_input.h"

namespace {

TEST(LoadProgress, SaysTheBytesReadAndOfHowManyWhenTheSizeIsKnown)
{
    EXPECT_EQ(LoadProgressLine("reading big.ply", 12500000, 50000000),
              "reading big.ply: 12.5 of 50.0 MB (25%)");
    EXPECT_EQ(LoadProgressLine("reading /dev/stdin", 3000000, -1), "reading /dev/stdin: 3.0 MB");
}

TEST(LoadProgress, ListensToTheReadersOnlyWhileItLivesAndIsSilentInTheFirstSecond)
{
    std::ostringstream out;
    {
        const LoadProgress progress(out, "reading x");
        const ReadProgressHook hook = SetReadProgressHook(nullptr);
        ASSERT_NE(hook, nullptr);
        hook(1000, 2000);  // at once: nothing yet
        EXPECT_FALSE(progress.Shown());
        SetReadProgressHook(hook);
    }
    EXPECT_EQ(SetReadProgressHook(nullptr), nullptr);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
