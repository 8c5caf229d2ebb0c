#pragma once

#include <ostream>
#include <vector>

// Render times of a benchmark run, and their summary. Every time is kept (8
// bytes a frame) so that the percentiles are exact.
class FrameStats {
public:
    struct Summary {
        int frames = 0;
        double minMs = 0.0, medianMs = 0.0, p90Ms = 0.0, maxMs = 0.0;
        double framesPerSecond = 0.0;  // frames over their summed render time
    };

    void Add(double milliseconds) { times_.push_back(milliseconds); }
    // Percentiles by nearest rank: each is one of the measured times.
    Summary Summarize() const;

private:
    std::vector<double> times_;
};

void PrintBenchSummary(std::ostream& out, const FrameStats::Summary& s);
