#pragma once

#include <cstdint>

#include "pipeline/corner_cache.h"
#include "pipeline/draw_setup.h"
#include "pipeline/edge_steps.h"
#include "pipeline/pipeline_vertex.h"
#include "pipeline/row_bands.h"

// Whole window pixel of a coordinate: truncated toward zero, plus one.
float SnapCoordinate(double v);

// Window coordinates beyond this many pixels are dropped with their triangle.
// There is no clipping: a corner near the eye plane or behind it can project
// to billions of pixels, which would make the edge lists that large and the
// conversion to int undefined. Every triangle of an ordinary scene lies far
// inside the band.
constexpr float kMaxWindowCoordinate = 8192.0f;

// The corners' mean, summed from the origin in corner order.
inline Vector4 Centroid(const Vector4& a, const Vector4& b, const Vector4& c)
{
    return (Vector4() + a + b + c) / 3.0f;
}

// A face's centroid and normal: as fetched, and in world space once the
// triangle stage has turned the face towards the eye or culled it.
struct FaceInWorld {
    Vector4 centroid;
    Vector3 normal;
};

// A triangle ready for scan conversion: the corners in window pixels, sorted
// from the top row down, each with its final colour and that colour packed,
// which the edge walks compare.
struct ScreenTriangle {
    PipelineVertex corners[3];
    uint32_t packedColors[3] = {0, 0, 0};
};

// A corner's window position and the rejection tests it meets, alone: what
// a draw on several threads works out once for every vertex, so that its
// threads can cull, reject and place triangles before they set them up.
struct ProjectedCorner {
    float x, y;  // window pixel (whole pixels within the window band)
    float z, w;  // depth (clip z) and clip w
    uint8_t inside;
    bool withinBand;

    Vector4 WindowPos() const { return {x, y, z, w}; }
};

// Indices of three corners in row order, as three compare-exchanges sort
// them: 1 and 2, then 0 and 1, then 1 and 2, each exchanging only when the
// second row is strictly smaller. Corners on equal rows keep their order.
struct RowOrder {
    int index[3];
};
RowOrder SortByRow(float y0, float y1, float y2);

// The triangle stage of a draw: a face is culled, its corners projected,
// rejected when the triangle lies wholly outside the view volume, taken to
// world space, mapped to window pixels and coloured. Corners come from a
// source (CachedCorners, GivenCorners) that transforms and shades each through
// this stage.
class TriangleStage {
public:
    explicit TriangleStage(const DrawSetup& setup) : setup(setup) {}

    // The face's centroid and normal to world space, in place; false when the
    // face is culled.
    bool FacesTheEye(FaceInWorld& face) const;
    // Projection, world space and window mapping of one corner as fetched,
    // in place, with the rejection tests it meets.
    void TransformCorner(TransformedCorner& corner) const;
    // The projection and window mapping alone, of a position as fetched.
    ProjectedCorner ProjectCorner(const Vector4& position) const;
    // Gouraud lights a corner in place; the other shade models leave its colour.
    void LightCorner(PipelineVertex& corner) const;
    // The corner's final colour, and that colour packed.
    void ShadeCorner(TransformedCorner& corner) const;
    // The triangle of `corners` ready for scan conversion; false when it is
    // rejected, or the depth buffer hides it (unless `kNoDepthTest`: an
    // observed draw counts a hidden triangle's fragments, and a draw on
    // several threads tests each thread's rows before it sets up).
    // `litFace`, under flat shading, is the face whose lit colour all three
    // corners take.
    template <class Corners, bool kNoDepthTest = false>
    bool SetUp(Corners& corners, const FaceInWorld* litFace, ScreenTriangle& out) const;
    // The rejection tests on projected corners, and the triangle's rows, top
    // to bottom; false when it is rejected.
    static bool Project(const ProjectedCorner* const corners[3], RowRange& rows);
    // Whether the depth buffer hides the triangle of window corners a, b, c
    // in the pixels of `within`: each of its fragments there would fail the
    // depth test.
    bool HiddenByDepth(const Vector4& a, const Vector4& b, const Vector4& c, PixelBox within) const;
    // HiddenByDepth in every band of `own` that holds a row of the triangle
    // (true when none does).
    bool HiddenInRows(const Vector4& a, const Vector4& b, const Vector4& c, OwnRows own) const;

private:
    const DrawSetup& setup;

    // The corners transformed into `transformed`; false when the triangle is
    // rejected: each view-volume test unmet by all corners, or a corner
    // beyond the window band.
    template <class Corners>
    bool Transform(Corners& corners, TransformedCorner* transformed[3]) const;
    void Assemble(const TransformedCorner* const corners[3], const Color* faceColor,
                  ScreenTriangle& out) const;
};

// A face's corners worked on once per vertex in the draw's cache: every
// attribute is fetched, so a corner depends on its vertex alone.
class CachedCorners {
public:
    CachedCorners(const TriangleStage& stage, const CornerFetch& fetch, CornerCache& cache)
        : stage(stage), fetch(fetch), cache(cache)
    {
    }
    void Use(const int32_t vertices[3])
    {
        for (int k = 0; k < 3; ++k)
            vertex[k] = vertices[k];
    }
    TransformedCorner& Transform(int k)
    {
        TransformedCorner* held = cache.Find(vertex[k]);
        return held != nullptr ? *held : Fill(k);
    }
    // A corner that Transform returned.
    void Shade(TransformedCorner& corner) const
    {
        if (!corner.shaded) stage.ShadeCorner(corner);
    }

private:
    const TriangleStage& stage;
    const CornerFetch& fetch;
    CornerCache& cache;
    int32_t vertex[3] = {0, 0, 0};
    TransformedCorner spare[3];  // corners whose place in the cache another corner holds

    // Corner k fetched and transformed into its place in the cache, or into
    // its spare when the place holds an earlier corner of the triangle.
    TransformedCorner& Fill(int k);
};

// A face's corners as handed in, worked on afresh for every face.
class GivenCorners {
public:
    explicit GivenCorners(const TriangleStage& stage) : stage(stage) {}
    void Use(const PipelineVertex given[3])
    {
        for (int k = 0; k < 3; ++k)
            corners[k].vertex = given[k];
    }
    TransformedCorner& Transform(int k)
    {
        stage.TransformCorner(corners[k]);
        return corners[k];
    }
    void Shade(TransformedCorner& corner) const { stage.ShadeCorner(corner); }

private:
    const TriangleStage& stage;
    TransformedCorner corners[3];  // a member, so that a face constructs none
};
