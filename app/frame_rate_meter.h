#pragma once

#include <optional>
#include <string>

#include "app/frame_stats.h"

// The viewer's once-a-second report: how many frames came in the time since
// the last report (or since the first frame after a stretch without any),
// and the median of their render times. Times are seconds on a steady clock.
class FrameRateMeter {
public:
    void Add(double now, double renderMilliseconds);
    // The report of the frames since the last one, and a new count from
    // `now`; none when no frame came, and the next frame starts the count.
    std::optional<std::string> TakeLine(double now);

private:
    FrameStats stats;
    bool counting = false;
    double start = 0.0;
};

// "59.8 fps, 3.42 ms a frame (median)"
std::string FrameRateLine(int frames, double seconds, double medianMilliseconds);
