#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>
#include <vector>

#include "pipeline/pipeline_vertex.h"

class VertexArray;

// Reads a vertex's attributes straight from the interleaved store, with the
// offsets of the attributes in the mask worked out once per draw. Attributes
// outside the mask leave the corner as it was (its defaults, or what the
// previous face left there).
class CornerFetch {
public:
    CornerFetch(const VertexArray& vertices, int32_t attribMask);
    void operator()(int32_t index, PipelineVertex& corner) const;
    // Object-space position (x, y, z, 1); the mask must hold ATTRIB_POSITION.
    Vector4 Position(int32_t index) const
    {
        float v[3];
        std::memcpy(v, data + static_cast<std::size_t>(index) * stride + offset[0], sizeof v);
        return {v[0], v[1], v[2], 1.0f};
    }

    bool FetchesEverything() const
    {
        return offset[0] >= 0 && offset[1] >= 0 && offset[2] >= 0 && offset[3] >= 0;
    }

private:
    const uint8_t* data;
    int32_t stride;
    int32_t offset[4];  // position, normal, texture coordinate, colour; -1 when not fetched
};

// The trivial-rejection tests a corner meets, as bits of TransformedCorner::
// inside: its clip z within [zNear, zFar], its clip x and y (divided by w)
// within [-1, 1]. A triangle is kept when each test is met by some corner.
enum : uint8_t { kDepthInside = 1, kXInside = 2, kYInside = 4, kEveryTestMet = 7 };

// A corner as the triangle stage leaves it for scan conversion.
struct TransformedCorner {
    PipelineVertex vertex;     // world position and normal, window position; colour once shaded
    uint32_t packedColor = 0;  // once shaded, vertex.color.ToARGB(), which the edge walks compare
    uint8_t inside = 0;        // the rejection tests met (kDepthInside, kXInside, kYInside)
    bool withinBand = false;   // false: the corner drops every triangle it belongs to
};

// Everything the triangle stage computes for a corner depends only on the
// vertex it came from and on context state that stays fixed during one draw.
// A vertex shared by several faces is therefore fetched and transformed once
// per draw, and shaded (lit) once when a face that uses it is first drawn;
// every face that uses it copies the result.
class CornerCache {
public:
    // Forgets every result: called at the start of each draw, with the
    // number of vertices it draws.
    void Begin(int32_t vertexCount)
    {
        const std::size_t n = static_cast<std::size_t>(vertexCount);
        if (corners.size() < n) corners.resize(n);
        done.assign(n, kNothing);
    }

    // `compute` fills the vertex's place, the first time it is asked for.
    template <class Compute>
    const TransformedCorner& Corner(int32_t vertex, Compute compute)
    {
        assert(InRange(vertex));
        if (done[vertex] == kNothing) {
            compute(corners[vertex]);
            done[vertex] = kTransformed;
        }
        return corners[vertex];
    }
    // `shade` completes a corner that Corner has transformed.
    template <class Shader>
    void Shade(int32_t vertex, Shader shade)
    {
        assert(InRange(vertex));
        if (done[vertex] != kShaded) {
            shade(corners[vertex]);
            done[vertex] = kShaded;
        }
    }

private:
    enum : uint8_t { kNothing, kTransformed, kShaded };
    std::vector<uint8_t> done;
    std::vector<TransformedCorner> corners;

    bool InRange(int32_t vertex) const
    {
        return vertex >= 0 && static_cast<std::size_t>(vertex) < done.size();
    }
};
