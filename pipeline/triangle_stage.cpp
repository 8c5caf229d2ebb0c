#include <cmath>

#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace {

// Window coordinates beyond this many pixels are dropped with their triangle.
// There is no clipping: a corner near the eye plane or behind it can project
// to billions of pixels, which would make the edge walks run that long, the
// edge lists that large, and the conversion to int undefined. Every triangle
// of an ordinary scene lies far inside the band.
constexpr float kMaxWindowCoordinate = 8192.0f;

bool WithinWindowBand(float v)
{
    return std::isfinite(v) && std::fabs(v) <= kMaxWindowCoordinate;
}

bool InRange(float v, float low, float high)
{
    return v >= low && v <= high;
}

}  // namespace

float SnapCoordinate(double v)
{
    return static_cast<float>(static_cast<int>(v) + 1);
}

void TriangleRasterizer::DrawTriangle()
{
    const RenderContext& c = context;
    const bool lighting = c.IsEnabled(RC_LIGHTING);
    centroid = Transform(centroid, c.modelMatrix);
    faceNormal = TransformDirection(faceNormal, c.modelMatrix);
    if (c.frontFace == RC_CW) faceNormal = faceNormal * -1.0f;
    if (lighting && c.IsEnabled(RC_NORMALIZE)) faceNormal.Normalize();
    const Vector3 toEye = Vector3(c.camera.eye) - Vector3(centroid);

    if (lighting && c.shadeModel == RC_FLAT) {
        // Lit before the culling decision, so a culled face is lit for nothing.
        PipelineVertex v;
        v.normal = faceNormal;
        v.position = centroid;
        ComputeLighting(v);
        for (PipelineVertex& corner : vertices)
            corner.color = v.color;
    }

    // A product that is not a number counts as facing away; exactly 0 is drawn.
    if (c.IsEnabled(RC_CULL_FACE) && !(toEye.Dot(faceNormal) >= 0.0f)) return;
    RasterizeTriangle();
}

// Projection, world space and window mapping of one corner.
TransformedCorner TriangleRasterizer::TransformCorner(const PipelineVertex& corner) const
{
    const RenderContext& c = context;
    TransformedCorner t;
    Vector4 windowPos = Transform(corner.position, c.modelViewProjectionMatrix);
    windowPos.DivideByW();
    t.projected[0] = windowPos.x;
    t.projected[1] = windowPos.y;
    t.projected[2] = windowPos.z;

    Vector3 normal = corner.normal;
    if (c.IsEnabled(RC_LIGHTING)) {
        normal = TransformDirection(normal, c.modelMatrix);
        if (c.frontFace == RC_CW) normal = normal * -1.0f;
        if (c.IsEnabled(RC_NORMALIZE)) normal.Normalize();
    }
    t.normal[0] = normal.x;
    t.normal[1] = normal.y;
    t.normal[2] = normal.z;
    const Vector4 position = Transform(corner.position, c.modelMatrix);
    t.position[0] = position.x;
    t.position[1] = position.y;
    t.position[2] = position.z;
    t.position[3] = position.w;

    const float clipW = windowPos.w;
    windowPos.w = 1.0f;
    windowPos = Transform(windowPos, c.viewportMatrix);
    t.withinBand = WithinWindowBand(windowPos.x) && WithinWindowBand(windowPos.y);
    t.window[0] = t.withinBand ? SnapCoordinate(windowPos.x) : 0.0f;
    t.window[1] = t.withinBand ? SnapCoordinate(windowPos.y) : 0.0f;
    t.window[2] = windowPos.z;
    t.window[3] = clipW;
    return t;
}

TransformedCorner TriangleRasterizer::TransformedCornerOf(int k) const
{
    if (cornerCache == nullptr) return TransformCorner(vertices[k]);
    return cornerCache->Transformed(cornerVertex[k], [&] { return TransformCorner(vertices[k]); });
}

// Gouraud lights each corner once: lighting depends only on the corner's
// world position and normal, so lighting it again for its second edge (or
// for another face sharing the vertex) gives the same colour.
Color TriangleRasterizer::LitColorOf(int k) const
{
    PipelineVertex lit = vertices[k];
    if (cornerCache == nullptr) {
        ComputeLighting(lit);
        return lit.color;
    }
    return cornerCache->Lit(cornerVertex[k], [&] {
        ComputeLighting(lit);
        return lit.color;
    });
}

void TriangleRasterizer::RasterizeTriangle()
{
    const RenderContext& c = context;
    TransformedCorner corners[3];
    bool someDepthInside = false, someXInside = false, someYInside = false;
    for (int k = 0; k < 3; ++k) {
        corners[k] = TransformedCornerOf(k);
        const float* p = corners[k].projected;
        someDepthInside = someDepthInside || InRange(p[2], c.camera.zNear, c.camera.zFar);
        someXInside = someXInside || InRange(p[0], -1.0f, 1.0f);
        someYInside = someYInside || InRange(p[1], -1.0f, 1.0f);
    }
    // Trivial rejection: each test may be met by a different corner.
    if (!(someDepthInside && someXInside && someYInside)) return;
    for (const TransformedCorner& t : corners)
        if (!t.withinBand) return;

    const bool lighting = c.IsEnabled(RC_LIGHTING);
    for (int k = 0; k < 3; ++k) {
        PipelineVertex& v = vertices[k];
        const TransformedCorner& t = corners[k];
        if (lighting) v.normal = Vector3(t.normal[0], t.normal[1], t.normal[2]);
        v.position = Vector4(t.position[0], t.position[1], t.position[2], t.position[3]);
        v.windowPos = Vector4(t.window[0], t.window[1], t.window[2], t.window[3]);
    }
    if (lighting && c.shadeModel == RC_GOURAUD)
        for (int k = 0; k < 3; ++k)
            vertices[k].color = LitColorOf(k);

    PrepareEdges();
    WalkEdge(vertices[0], vertices[1], 1);
    WalkEdge(vertices[1], vertices[2], 1);
    WalkEdge(vertices[0], vertices[2], 2);
    if (c.polygonMode == RC_FILL) FillSpans();
}
