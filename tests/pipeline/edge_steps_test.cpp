#include "pipeline/edge_steps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

struct Step {
    int x, y;
};

// Every pixel of the walk, by stepping.
std::vector<Step> Stepped(int xa, int ya, int xb, int yb)
{
    EdgeSteps walk(xa, ya, xb, yb);
    std::vector<Step> pixels;
    for (int i = 0; i <= walk.steps; ++i, walk.Next())
        pixels.push_back({walk.x, walk.y});
    return pixels;
}

// Lines in every direction and of every slope, some long (a walk across the
// whole window band), with their ends anywhere in the band.
std::vector<std::vector<int>> Lines()
{
    std::vector<std::vector<int>> lines = {{0, 0, 0, 0},     {0, 0, 7, 0},  {0, 0, 0, -7},
                                           {3, 4, -5, 12},   {-2, 9, 9, 2}, {0, 0, 5, 5},
                                           {10, 0, -10, -7}, {0, 0, 1, 9}};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> anywhere(-8191, 8193), near(-40, 40);
    for (int k = 0; k < 40; ++k)
        lines.push_back({near(random), near(random), near(random), near(random)});
    for (int k = 0; k < 6; ++k)
        lines.push_back({anywhere(random), anywhere(random), anywhere(random), anywhere(random)});
    return lines;
}

TEST(EdgeSteps, JumpingToAStepGivesThePixelAndDecisionThatSteppingReaches)
{
    for (const auto& l : Lines()) {
        const std::vector<Step> stepped = Stepped(l[0], l[1], l[2], l[3]);
        EdgeSteps walk(l[0], l[1], l[2], l[3]);
        const int steps = walk.steps;
        for (int i = 0; i <= steps; i += 1 + steps / 300) {
            EdgeSteps jumped = walk;
            jumped.JumpTo(i);
            ASSERT_EQ(jumped.x, stepped[i].x) << l[0] << "," << l[1] << " " << i;
            ASSERT_EQ(jumped.y, stepped[i].y) << l[0] << "," << l[1] << " " << i;
            ASSERT_EQ(walk.RowAt(i), stepped[i].y);
            // The decision value carries on: the next step lands where stepping does.
            if (i < steps) {
                jumped.Next();
                ASSERT_EQ(jumped.x, stepped[i + 1].x);
                ASSERT_EQ(jumped.y, stepped[i + 1].y);
            }
        }
        EXPECT_EQ(walk.RowsReached(), std::abs(l[3] - l[1]));
    }
}

TEST(EdgeSteps, TheStepsWithinABoxAreExactlyThoseWhosePixelLiesInIt)
{
    const PixelBox boxes[] = {{0, 0, 20, 12}, {-5, 3, 4, 30}, {7, 7, 8, 8}, {0, 0, 480, 480}};
    for (const auto& l : Lines()) {
        const std::vector<Step> stepped = Stepped(l[0], l[1], l[2], l[3]);
        const EdgeSteps walk(l[0], l[1], l[2], l[3]);
        for (const PixelBox& box : boxes) {
            int first = -1, end = -1;
            for (int i = 0; i < static_cast<int>(stepped.size()); ++i) {
                if (!box.Contains(stepped[i].x, stepped[i].y)) continue;
                if (first < 0) first = i;
                ASSERT_TRUE(end < 0 || end == i) << "the steps inside form one run";
                end = i + 1;
            }
            const StepRange inside = walk.Within(box);
            if (first < 0) {
                EXPECT_LE(inside.end, inside.first) << l[0] << "," << l[1] << "," << l[2];
            } else {
                EXPECT_EQ(inside.first, first) << l[0] << "," << l[1] << "," << l[2];
                EXPECT_EQ(inside.end, end) << l[0] << "," << l[1] << "," << l[2];
            }
        }
    }
}

TEST(EdgeSteps, TheFirstStepOnARowIsWhereSteppingFirstReachesIt)
{
    for (const auto& l : Lines()) {
        const std::vector<Step> stepped = Stepped(l[0], l[1], l[2], l[3]);
        const EdgeSteps walk(l[0], l[1], l[2], l[3]);
        int row = l[1] - walk.sy;
        for (int i = 0; i < static_cast<int>(stepped.size()); ++i) {
            if (stepped[i].y == row) continue;
            row = stepped[i].y;
            ASSERT_EQ(walk.FirstStepOnRow(row), i) << l[0] << "," << l[1] << "," << l[2];
        }
    }
}

}  // namespace
