#include "app/frame_inspection.h"

#include <cstdio>

namespace {

const char* SourceName(FragmentSource source)
{
    switch (source) {
        case FragmentSource::kEdge1:
            return "edge1";
        case FragmentSource::kEdge2:
            return "edge2";
        case FragmentSource::kLong:
            return "long";
        case FragmentSource::kSpan:
            return "span";
        case FragmentSource::kNone:
            break;
    }
    return "none";
}

// Nine significant digits: every float prints as a decimal that reads back
// as the same float, so histories compare bit for bit.
std::string Exact(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
    return text;
}

std::string Channels(const Color& c)
{
    return Exact(c.r) + "," + Exact(c.g) + "," + Exact(c.b) + "," + Exact(c.a);
}

}  // namespace

std::string StatsLine(int frame, const PipelineCounts& c)
{
    return "stats frame=" + std::to_string(frame) + " faces=" + std::to_string(c.faces) +
           " triangles=" + std::to_string(c.triangles) + " culled=" + std::to_string(c.culled) +
           " rejected=" + std::to_string(c.rejected) + " drawn=" + std::to_string(c.drawn) +
           " fragments=" + std::to_string(c.fragments) +
           " offscreen=" + std::to_string(c.offscreen) +
           " depth_passed=" + std::to_string(c.depthPassed) +
           " depth_failed=" + std::to_string(c.depthFailed) +
           " written=" + std::to_string(c.written);
}

std::string PixelLine(int frame, PixelPosition pixel, const PixelEvent& e)
{
    return "pixel x=" + std::to_string(pixel.x) + " y=" + std::to_string(pixel.y) +
           " frame=" + std::to_string(frame) + " face=" + std::to_string(e.triangle.face) +
           " triangle=" + std::to_string(e.triangle.triangle) + " source=" + SourceName(e.source) +
           " t=" + Exact(e.t) + " depth=" + Exact(e.depth) + " stored=" + Exact(e.stored) +
           " passed=" + (e.passed ? "1" : "0") + " color=" + Channels(e.color) +
           " result=" + Channels(e.result);
}

void PrintInspection(std::ostream& out, int frame, const DrawObserver& observer, bool stats)
{
    if (stats) out << StatsLine(frame, observer.counts) << "\n";
    for (int k = 0; k < static_cast<int>(observer.Watched().size()); ++k)
        for (const PixelEvent& event : observer.History(k))
            out << PixelLine(frame, observer.Watched()[k], event) << "\n";
    out.flush();
}
