#include "pipeline/draw_observer.h"

#include <algorithm>

void PipelineCounts::Count(TriangleFate fate)
{
    ++triangles;
    switch (fate) {
        case TriangleFate::kCulled:
            ++culled;
            return;
        case TriangleFate::kRejected:
            ++rejected;
            return;
        case TriangleFate::kDrawn:
            ++drawn;
            return;
    }
}

void PipelineCounts::Add(const PipelineCounts& part)
{
    faces += part.faces;
    triangles += part.triangles;
    culled += part.culled;
    rejected += part.rejected;
    drawn += part.drawn;
    fragments += part.fragments;
    offscreen += part.offscreen;
    depthPassed += part.depthPassed;
    depthFailed += part.depthFailed;
    written += part.written;
}

DrawObserver::DrawObserver(int width, int height, const std::vector<PixelPosition>& watch)
    : width(width),
      height(height),
      tallies(static_cast<std::size_t>(std::max(width, 0)) *
              static_cast<std::size_t>(std::max(height, 0)))
{
    for (const PixelPosition& p : watch) {
        if (p.x < 0 || p.x >= width || p.y < 0 || p.y >= height) continue;
        PixelTally& tally = tallies[Index(p.x, p.y)];
        if (tally.watch >= 0) continue;
        tally.watch = static_cast<int32_t>(watched.size());
        watched.push_back(p);
    }
    histories.resize(watched.size());
}
