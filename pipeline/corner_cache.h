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
    // The position of a corner of vertex `index` as fetched: its own, or
    // with positions outside the mask the default that every corner keeps.
    Vector4 PositionAsFetched(int32_t index) const
    {
        float p[3];
        PositionAsFetched(index, p);
        return {p[0], p[1], p[2], 1.0f};
    }
    // Its x, y and z alone.
    void PositionAsFetched(int32_t index, float p[3]) const
    {
        if (offset[0] >= 0) {
            std::memcpy(p, data + static_cast<std::size_t>(index) * stride + offset[0],
                        3 * sizeof *p);
        } else {
            const Vector4 unfetched = PipelineVertex().position;
            p[0] = unfetched.x;
            p[1] = unfetched.y;
            p[2] = unfetched.z;
        }
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
    bool shaded = false;       // its colour is final (ShadeCorner); TransformCorner clears it
};

// Everything the triangle stage computes for a corner depends only on the
// vertex it came from and on context state that stays fixed during one draw.
// A vertex shared by several faces is therefore fetched and transformed once
// while the cache holds it, and shaded (lit) once when a face that uses it is
// first drawn; every face that uses it copies the result.
//
// The cache has room for at most kMaxPlaces corners, vertex v in place v mod
// the number of places: a mesh of that many vertices or fewer keeps every
// corner for the whole draw, and a larger one (ten million triangles would
// otherwise take more than half a gigabyte of corners) keeps those of the
// faces it has just drawn. Faces in a file use vertices near one another, so
// a corner is seldom pushed out before its last face; one that comes back is
// worked on again, to the same result.
class CornerCache {
public:
    static constexpr int32_t kMaxPlaces = 1 << 16;

    // Forgets every result: called at the start of each draw, with the
    // number of vertices it draws, and at most `mostPlaces` places (a power
    // of two up to kMaxPlaces; each of a draw's threads keeps a cache).
    void Begin(int32_t vertexCount, int32_t mostPlaces = kMaxPlaces);

    // The corner of `vertex` when the cache holds it, else null.
    TransformedCorner* Find(int32_t vertex)
    {
        const std::size_t place = PlaceOf(vertex);
        return held[place] == vertex ? &corners[place] : nullptr;
    }
    // The place of `vertex`, given to it for its corner, which the caller
    // fills. Null when the place holds `keep` or `alsoKeep` (corners of the
    // same triangle, which must stay as they are).
    TransformedCorner* Take(int32_t vertex, int32_t keep, int32_t alsoKeep)
    {
        const std::size_t place = PlaceOf(vertex);
        const int32_t holder = held[place];
        if (holder == keep || holder == alsoKeep) return nullptr;
        held[place] = vertex;
        return &corners[place];
    }

private:
    uint32_t mask = 0;          // places - 1, places a power of two
    std::vector<int32_t> held;  // the vertex whose corner each place holds; -1 for none
    std::vector<TransformedCorner> corners;

    std::size_t PlaceOf(int32_t vertex) const
    {
        assert(vertex >= 0);
        return static_cast<uint32_t>(vertex) & mask;
    }
};
