#include "pipeline/edge_steps.h"

#include <algorithm>

long long EdgeSteps::MinorAt(int i) const
{
    if (steps == 0) return 0;
    return (2LL * i * across + steps) / (2LL * steps);
}

long long EdgeSteps::FirstStepWithMinor(long long m) const
{
    if (m <= 0) return 0;
    if (m > across) return steps + 1LL;  // the walk ends having taken `across`
    // MinorAt(i) >= m exactly when 2 i across >= 2 steps m - steps.
    const long long need = 2LL * steps * m - steps, per = 2LL * across;
    return std::min((need + per - 1) / per, steps + 1LL);
}

void EdgeSteps::JumpTo(int i)
{
    const long long minor = MinorAt(i);
    x = xa + sx * static_cast<int>(xMajor ? i : minor);
    y = ya + sy * static_cast<int>(xMajor ? minor : i);
    // Each step adds 2 across, and each minor step takes 2 steps off.
    e = static_cast<int>(2LL * across * (i + 1) - steps - 2LL * steps * minor);
}

int EdgeSteps::RowAt(int i) const
{
    return ya + sy * static_cast<int>(xMajor ? MinorAt(i) : i);
}

StepRange EdgeSteps::Along(bool major, long long start, int sign, long long low,
                           long long high) const
{
    // The counts that place the coordinate in [low, high).
    const long long countLow = sign > 0 ? low - start : start - high + 1;
    const long long countEnd = sign > 0 ? high - start : start - low + 1;
    const long long last = steps + 1LL;
    const auto step = [&](long long count) {
        return std::clamp(major ? count : FirstStepWithMinor(count), 0LL, last);
    };
    return {static_cast<int>(step(countLow)), static_cast<int>(step(countEnd))};
}

StepRange EdgeSteps::Within(const PixelBox& box) const
{
    const int xb = xa + sx * (xMajor ? steps : across), yb = ya + sy * (xMajor ? across : steps);
    // Both ends inside: every pixel is, the walk keeping to the box of its ends.
    if (box.Contains(xa, ya) && box.Contains(xb, yb)) return {0, steps + 1};
    const StepRange columns = Along(xMajor, xa, sx, box.left, box.right);
    const StepRange rows = Along(!xMajor, ya, sy, box.top, box.bottom);
    return {std::max(columns.first, rows.first), std::min(columns.end, rows.end)};
}
