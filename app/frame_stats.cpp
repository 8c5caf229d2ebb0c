#include "app/frame_stats.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <numeric>

namespace {

// The smallest time that at least `fraction` of the sorted times do not exceed.
double NearestRank(const std::vector<double>& sorted, double fraction)
{
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace

FrameStats::Summary FrameStats::Summarize() const
{
    Summary s;
    if (times_.empty()) return s;
    std::vector<double> sorted = times_;
    std::sort(sorted.begin(), sorted.end());
    s.frames = static_cast<int>(sorted.size());
    s.minMs = sorted.front();
    s.medianMs = NearestRank(sorted, 0.5);
    s.p90Ms = NearestRank(sorted, 0.9);
    s.maxMs = sorted.back();
    const double totalMs = std::accumulate(sorted.begin(), sorted.end(), 0.0);
    s.framesPerSecond = totalMs > 0.0 ? 1000.0 * s.frames / totalMs : 0.0;
    return s;
}

void PrintBenchSummary(std::ostream& out, const FrameStats::Summary& s)
{
    out << std::fixed << std::setprecision(3) << "frames: " << s.frames << "\n"
        << "render time per frame: min " << s.minMs << " ms, median " << s.medianMs << " ms, p90 "
        << s.p90Ms << " ms, max " << s.maxMs << " ms\n"
        << std::setprecision(1) << "frames per second: " << s.framesPerSecond << std::endl;
    out << std::defaultfloat << std::setprecision(6);
}
