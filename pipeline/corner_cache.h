#pragma once

#include <cstdint>
#include <vector>

#include "lighting/color.h"

// A corner as the triangle stage leaves it, before scan conversion.
struct TransformedCorner {
    float projected[3];  // clip x and y divided by w, clip z undivided
    float position[4];   // world space
    float normal[3];     // world space when lighting is on, else as fetched
    float window[4];     // snapped window x and y, depth, clip w
    bool withinBand;     // false: the corner drops every triangle it belongs to
};

// Everything the triangle stage computes for a corner depends only on the
// vertex it came from and on context state that stays fixed during one draw.
// A vertex shared by several faces is therefore transformed and lit once per
// draw, and every face that uses it copies the results.
class CornerCache {
public:
    // Forgets every result: called at the start of each draw.
    void Begin(int32_t vertexCount)
    {
        const std::size_t n = static_cast<std::size_t>(vertexCount);
        if (transformed.size() < n) {
            transformed.resize(n);
            lit.resize(n);
        }
        stages.assign(n, 0);
    }

    template <class Compute>
    const TransformedCorner& Transformed(int32_t vertex, Compute compute)
    {
        if (!(stages[vertex] & kTransformed)) {
            transformed[vertex] = compute();
            stages[vertex] |= kTransformed;
        }
        return transformed[vertex];
    }

    template <class Compute>
    const Color& Lit(int32_t vertex, Compute compute)
    {
        if (!(stages[vertex] & kLit)) {
            lit[vertex] = compute();
            stages[vertex] |= kLit;
        }
        return lit[vertex];
    }

private:
    enum : uint8_t { kTransformed = 1, kLit = 2 };
    std::vector<uint8_t> stages;
    std::vector<TransformedCorner> transformed;
    std::vector<Color> lit;
};
