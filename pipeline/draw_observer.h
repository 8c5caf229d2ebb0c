#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lighting/color.h"

// Where a fragment comes from: one of the two walks through the middle
// corner, the walk from the top corner to the bottom one, or a span.
enum class FragmentSource : uint8_t { kNone, kEdge1, kEdge2, kLong, kSpan };

// A triangle's place in the model: its face, and its triangle in the face's
// fan (0, i, i + 1), from 0.
struct TriangleId {
    int32_t face = 0;
    int32_t triangle = 0;
};

// What the triangle stage made of a triangle handed to it.
enum class TriangleFate : uint8_t { kCulled, kRejected, kDrawn };

// What a draw did, counted along the road of every triangle and fragment.
// Counts of parts of one draw (bands of rows drawn apart) add up.
struct PipelineCounts {
    int64_t faces = 0;      // faces in the model
    int64_t triangles = 0;  // handed to the triangle stage
    int64_t culled = 0;
    int64_t rejected = 0;  // outside the view volume, or beyond the window band
    int64_t drawn = 0;     // scan-converted
    int64_t fragments = 0;
    int64_t offscreen = 0;  // fragments outside the frame buffer
    int64_t depthPassed = 0;
    int64_t depthFailed = 0;
    int64_t written = 0;  // colour writes

    void Count(TriangleFate fate);
    void Add(const PipelineCounts& part);
};

// One fragment of a watched pixel: where it came from, the depth test, and
// the colours.
struct PixelEvent {
    TriangleId triangle;
    FragmentSource source = FragmentSource::kNone;
    float t = 0.0f;
    float depth = 0.0f;   // the fragment's
    float stored = 0.0f;  // the pixel's, before the test
    bool passed = false;
    Color color;   // the fragment's, after lighting and texturing
    Color result;  // the pixel's, after the write
};

// What happened at one pixel of the frame buffer.
struct PixelTally {
    uint32_t fragments = 0;
    int32_t face = -1;  // the face of the last fragment written; -1 when none was
    FragmentSource source = FragmentSource::kNone;  // and where that fragment came from
    int32_t watch = -1;  // the pixel's place among the watched ones; -1 when not watched
};

struct PixelPosition {
    int x = 0;
    int y = 0;
};

// What one draw into a frame buffer of width x height pixels did: its
// counts, the tally of every pixel, and the history of every fragment of the
// watched pixels in the order they were shaded. An observed draw fills it
// (DrawMesh); each draw, and each part of a draw, has its own.
class DrawObserver {
public:
    // Watched pixels outside the frame buffer, or given twice, are left out.
    DrawObserver(int width, int height, const std::vector<PixelPosition>& watched = {});

    PipelineCounts counts;

    int Width() const { return width; }
    int Height() const { return height; }
    const PixelTally& At(int x, int y) const { return tallies[Index(x, y)]; }
    PixelTally& At(std::size_t index) { return tallies[index]; }
    // The watched pixels in the order given, and the fragments of each.
    const std::vector<PixelPosition>& Watched() const { return watched; }
    const std::vector<PixelEvent>& History(int watch) const
    {
        return histories[static_cast<std::size_t>(watch)];
    }
    void Record(int watch, const PixelEvent& event)
    {
        histories[static_cast<std::size_t>(watch)].push_back(event);
    }

private:
    int width;
    int height;
    std::vector<PixelTally> tallies;  // element y * width + x, as the frame buffer's pixels
    std::vector<PixelPosition> watched;
    std::vector<std::vector<PixelEvent>> histories;

    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};
