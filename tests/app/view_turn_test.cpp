// The viewer's turn: degrees a second of the caller's clock, paused and
// resumed without a jump, faster and slower from the moment of the key.
#include "app/view_turn.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewTurn, TurnsByItsSpeedTimesTheSecondsSinceTheFirstFrame)
{
    ViewTurn turn(30.0);
    EXPECT_EQ(turn.AngleAt(100.0), 0.0f);  // the first frame, whenever it comes
    EXPECT_EQ(turn.AngleAt(101.0), 30.0f);
    EXPECT_EQ(turn.AngleAt(101.5), 45.0f);
    EXPECT_EQ(turn.AngleAt(111.5), 345.0f);
    EXPECT_EQ(turn.AngleAt(112.0), 0.0f);  // wraps at a whole turn
    EXPECT_TRUE(turn.Turning());
}

TEST(ViewTurn, APauseHoldsTheAngleAndTheTurnGoesOnFromItWhenResumed)
{
    ViewTurn turn(30.0);
    turn.AngleAt(0.0);
    turn.TogglePause(2.0);
    EXPECT_TRUE(turn.Paused());
    EXPECT_FALSE(turn.Turning());
    EXPECT_EQ(turn.AngleAt(2.0), 60.0f);
    EXPECT_EQ(turn.AngleAt(50.0), 60.0f);
    turn.TogglePause(60.0);
    EXPECT_EQ(turn.AngleAt(60.0), 60.0f);
    EXPECT_EQ(turn.AngleAt(61.0), 90.0f);
}

TEST(ViewTurn, ASpeedChangeCountsFromItsMomentAndBelowZeroTurnsBack)
{
    ViewTurn turn(30.0);
    turn.AngleAt(0.0);
    turn.ChangeSpeed(10.0, 1.0);
    EXPECT_EQ(turn.Speed(), 40.0);
    EXPECT_EQ(turn.AngleAt(2.0), 70.0f);  // 30 in the first second, 40 in the next
    turn.ChangeSpeed(-100.0, 2.0);
    EXPECT_EQ(turn.AngleAt(3.0), 10.0f);
    turn.ChangeSpeed(-20.0, 3.0);
    EXPECT_EQ(turn.AngleAt(4.0), 290.0f);  // -80 from 10, wrapped into 0 .. 360
}

TEST(ViewTurn, AStillTurnDrawsNothingNewAndTheSpeedIsBounded)
{
    ViewTurn turn(0.0);
    EXPECT_FALSE(turn.Turning());
    EXPECT_FALSE(turn.Paused());
    turn.ChangeSpeed(1e9, 0.0);
    EXPECT_EQ(turn.Speed(), ViewTurn::kFastest);
    turn.ChangeSpeed(-1e9, 0.0);
    EXPECT_EQ(turn.Speed(), -ViewTurn::kFastest);
}

}  // namespace
