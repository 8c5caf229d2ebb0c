#include "app/frame_rate_meter.h"

#include <cstdio>

void FrameRateMeter::Add(double now, double renderMilliseconds)
{
    if (!counting) start = now;
    counting = true;
    stats.Add(renderMilliseconds);
}

std::optional<std::string> FrameRateMeter::TakeLine(double now)
{
    const FrameStats::Summary s = stats.Summarize();
    if (s.frames == 0) {
        counting = false;
        return std::nullopt;
    }
    stats = FrameStats();
    const std::string line = FrameRateLine(s.frames, now - start, s.medianMs);
    start = now;
    return line;
}

std::string FrameRateLine(int frames, double seconds, double medianMilliseconds)
{
    char line[96];
    std::snprintf(line, sizeof line, "%.1f fps, %.2f ms a frame (median)",
                  seconds > 0.0 ? frames / seconds : 0.0, medianMilliseconds);
    return line;
}
