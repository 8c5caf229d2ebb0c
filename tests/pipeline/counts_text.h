#pragma once

#include <string>

#include "pipeline/draw_observer.h"

// A draw's counts on one line, so that a test compares them all at once and
// shows them all when they differ.
inline std::string CountsText(const PipelineCounts& c)
{
    return "faces=" + std::to_string(c.faces) + " triangles=" + std::to_string(c.triangles) +
           " culled=" + std::to_string(c.culled) + " rejected=" + std::to_string(c.rejected) +
           " drawn=" + std::to_string(c.drawn) + " fragments=" + std::to_string(c.fragments) +
           " offscreen=" + std::to_string(c.offscreen) +
           " passed=" + std::to_string(c.depthPassed) + " failed=" + std::to_string(c.depthFailed) +
           " written=" + std::to_string(c.written);
}
