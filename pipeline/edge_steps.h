#pragma once

#include <climits>

// A box of pixels, half-open: columns left .. right - 1, rows top .. bottom - 1.
struct PixelBox {
    int left, top, right, bottom;

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Steps first .. end - 1 of a walk or a span; empty when end <= first.
struct StepRange {
    int first, end;
};

// Bresenham's walk from one pixel to another: one pixel per step along the
// major axis (x when dy < dx), the minor axis stepping when the decision
// value is not negative. Any step's pixel can also be found without walking
// there (JumpTo), so that a walk can pass over pixels it has nothing to do
// with, and still reach the others with the values stepping gives them.
class EdgeSteps {
public:
    EdgeSteps(int xaArg, int yaArg, int xb, int yb) : x(xaArg), y(yaArg), xa(xaArg), ya(yaArg)
    {
        int dx = xb - xa, dy = yb - ya;
        sx = sy = 1;
        if (dx < 0) {
            dx = -dx;
            sx = -1;
        }
        if (dy < 0) {
            dy = -dy;
            sy = -1;
        }
        xMajor = dy < dx;
        steps = xMajor ? dx : dy;
        across = xMajor ? dy : dx;
        e = 2 * across - steps;
        eMinor = 2 * (across - steps);
        eMajor = 2 * across;
        majorX = xMajor ? sx : 0;
        majorY = xMajor ? 0 : sy;
        minorX = xMajor ? 0 : sx;
        minorY = xMajor ? sy : 0;
    }

    void Next()
    {
        const bool stepMinor = e >= 0;
        e += stepMinor ? eMinor : eMajor;
        x += majorX + (stepMinor ? minorX : 0);
        y += majorY + (stepMinor ? minorY : 0);
    }
    // The pixel and decision value of step i, as i calls of Next reach them.
    void JumpTo(int i);

    // The walk's parameter at step i: i / steps. An edge whose ends share a
    // pixel has no steps: t = 0, never 0 / 0.
    float Parameter(int i) const
    {
        return steps == 0 ? 0.0f : static_cast<float>(i) / static_cast<float>(steps);
    }
    // The steps whose pixel lies in `box`: one run, since the walk moves
    // monotonically along both axes.
    StepRange Within(const PixelBox& box) const;
    // The first step on `row`, a row the walk reaches.
    int FirstStepOnRow(int row) const { return Within({INT_MIN, row, INT_MAX, row + 1}).first; }
    // The row of step i.
    int RowAt(int i) const;
    // The rows the walk reaches after its first.
    int RowsReached() const { return xMajor ? across : steps; }

    int x, y;    // the current pixel
    int steps;   // pixels after the first
    int xa, ya;  // the first pixel
    int sy;      // the direction of the rows, +1 or -1

private:
    bool xMajor;
    int sx;
    int across;  // the steps' length along the minor axis
    int e, eMinor, eMajor, majorX, majorY, minorX, minorY;

    // Minor-axis steps taken before step i: the closed form of the decision
    // rule, floor((2 i across + steps) / (2 steps)).
    long long MinorAt(int i) const;
    // The first step that has taken at least m minor-axis steps (steps + 1
    // when none has).
    long long FirstStepWithMinor(long long m) const;
    // The steps whose coordinate start + sign * count(i) lies in
    // [low, high), count(i) being i (major axis) or MinorAt(i).
    StepRange Along(bool major, long long start, int sign, long long low, long long high) const;
};
