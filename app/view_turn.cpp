#include "app/view_turn.h"

#include <algorithm>
#include <cmath>

float ViewTurn::AngleAt(double now)
{
    if (!paused && started) angle = std::fmod(angle + speed * (now - since), 360.0);
    if (angle < 0.0) angle += 360.0;
    since = now;
    started = true;
    return static_cast<float>(angle);
}

void ViewTurn::TogglePause(double now)
{
    AngleAt(now);
    paused = !paused;
}

void ViewTurn::ChangeSpeed(double delta, double now)
{
    AngleAt(now);
    speed = std::clamp(speed + delta, -kFastest, kFastest);
}
