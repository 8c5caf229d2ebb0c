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

void TriangleRasterizer::RasterizeTriangle()
{
    const RenderContext& c = context;
    bool someDepthInside = false, someXInside = false, someYInside = false;
    for (PipelineVertex& v : vertices) {
        v.windowPos = Transform(v.position, c.modelViewProjectionMatrix);
        v.windowPos.DivideByW();
        someDepthInside = someDepthInside || InRange(v.windowPos.z, c.camera.zNear, c.camera.zFar);
        someXInside = someXInside || InRange(v.windowPos.x, -1.0f, 1.0f);
        someYInside = someYInside || InRange(v.windowPos.y, -1.0f, 1.0f);
    }
    // Trivial rejection: each test may be met by a different corner.
    if (!(someDepthInside && someXInside && someYInside)) return;

    const bool lighting = c.IsEnabled(RC_LIGHTING);
    for (PipelineVertex& v : vertices) {
        if (lighting) {
            v.normal = TransformDirection(v.normal, c.modelMatrix);
            if (c.frontFace == RC_CW) v.normal = v.normal * -1.0f;
            if (c.IsEnabled(RC_NORMALIZE)) v.normal.Normalize();
        }
        v.position = Transform(v.position, c.modelMatrix);
        const float clipW = v.windowPos.w;
        v.windowPos.w = 1.0f;
        v.windowPos = Transform(v.windowPos, c.viewportMatrix);
        if (!WithinWindowBand(v.windowPos.x) || !WithinWindowBand(v.windowPos.y)) return;
        v.windowPos.x = SnapCoordinate(v.windowPos.x);
        v.windowPos.y = SnapCoordinate(v.windowPos.y);
        v.windowPos.w = clipW;
    }

    PrepareEdges();
    WalkEdge(vertices[0], vertices[1], 1);
    WalkEdge(vertices[1], vertices[2], 1);
    WalkEdge(vertices[0], vertices[2], 2);
    if (c.polygonMode == RC_FILL) FillSpans();
}
