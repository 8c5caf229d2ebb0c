#include <algorithm>
#include <cmath>
#include <utility>

#include "pipeline/draw_setup.h"
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

// Below the smallest corner depth by this fraction of the largest magnitude
// lies no fragment depth: a walk interpolates between two corners, a span
// between two walk results, and each interpolation strays by at most five
// float roundings (5 x 2^-24) of its ends' magnitude.
constexpr double kDepthSlack = 0x1p-16;
// Corner depths beyond this magnitude are not bounded (interpolating them
// could overflow).
constexpr double kMaxBoundedDepth = 1e30;

}  // namespace

float SnapCoordinate(double v)
{
    return static_cast<float>(static_cast<int>(v) + 1);
}

void TriangleRasterizer::DrawTriangle()
{
    const RenderContext& c = context;
    const bool lighting = c.IsEnabled(RC_LIGHTING);
    if (!drawSetUp) matrices = DrawMatrices(c);
    centroid = matrices.model.Transform(centroid);
    faceNormal = matrices.model.TransformDirection(faceNormal);
    if (c.frontFace == RC_CW) faceNormal = faceNormal * -1.0f;
    if (lighting && c.IsEnabled(RC_NORMALIZE)) faceNormal.Normalize();
    const Vector3 toEye = Vector3(c.camera.eye) - Vector3(centroid);

    // A product that is not a number counts as facing away; exactly 0 is drawn.
    if (c.IsEnabled(RC_CULL_FACE) && !(toEye.Dot(faceNormal) >= 0.0f)) return;

    // Flat shading lights the face once, at its centre with the face normal,
    // and the result colours all three corners (RasterizeTriangle).
    hasFaceColor = lighting && c.shadeModel == RC_FLAT;
    RasterizeTriangle();
}

// Projection, world space and window mapping of one corner, in place on the
// corner as fetched (t.vertex): everything the triangle stage does to a
// corner's geometry on its own.
void TriangleRasterizer::TransformCorner(TransformedCorner& t) const
{
    const RenderContext& c = context;
    PipelineVertex& v = t.vertex;
    Vector4 windowPos = matrices.modelViewProjection.Transform(v.position);
    windowPos.DivideByW();
    t.inside = (InRange(windowPos.z, c.camera.zNear, c.camera.zFar) ? kDepthInside : 0) |
               (InRange(windowPos.x, -1.0f, 1.0f) ? kXInside : 0) |
               (InRange(windowPos.y, -1.0f, 1.0f) ? kYInside : 0);

    const bool lighting = c.IsEnabled(RC_LIGHTING);
    if (lighting) {
        v.normal = matrices.model.TransformDirection(v.normal);
        if (c.frontFace == RC_CW) v.normal = v.normal * -1.0f;
        if (c.IsEnabled(RC_NORMALIZE)) v.normal.Normalize();
    }
    v.position = matrices.model.Transform(v.position);
    const float clipW = windowPos.w;
    windowPos.w = 1.0f;
    v.windowPos = matrices.viewport.Transform(windowPos);
    t.withinBand = WithinWindowBand(v.windowPos.x) && WithinWindowBand(v.windowPos.y);
    if (t.withinBand) {
        v.windowPos.x = SnapCoordinate(v.windowPos.x);
        v.windowPos.y = SnapCoordinate(v.windowPos.y);
    }
    v.windowPos.w = clipW;
}

// The corner's final colour, worked out only for triangles that are drawn.
// Gouraud lights each corner once: the colour depends only on the corner's
// world position and normal, so lighting it again for its second edge, or for
// another face sharing the vertex, gives the same colour.
void TriangleRasterizer::ShadeCorner(TransformedCorner& corner) const
{
    PipelineVertex& v = corner.vertex;
    if (context.IsEnabled(RC_LIGHTING) && context.shadeModel == RC_GOURAUD) v.color = LitColor(v);
    corner.packedColor = v.color.ToARGB();
}

Color TriangleRasterizer::LitColor(const PipelineVertex& corner) const
{
    if (!drawSetUp) {
        PipelineVertex lit = corner;
        ComputeLighting(lit);
        return lit.color;
    }
    return LightPoint(lighting, corner.position, corner.normal, false);
}

// Every fragment is written through the depth test, and every one lies in the
// box of the three corners' pixels: when each pixel of that box inside the
// frame buffer already holds a depth at or below the least a fragment can
// have, the triangle would change nothing, and it is not scan-converted. On a
// dense mesh most small triangles are hidden like this by their neighbours.
bool TriangleRasterizer::HiddenByDepth(const TransformedCorner* const corners[3]) const
{
    if (!context.IsEnabled(RC_DEPTH_TEST)) return false;
    const Vector4& a = corners[0]->vertex.windowPos;
    const Vector4& b = corners[1]->vertex.windowPos;
    const Vector4& c = corners[2]->vertex.windowPos;
    for (const float z : {a.z, b.z, c.z})
        if (!(std::fabs(z) <= kMaxBoundedDepth)) return false;  // not a number, or unbounded
    const double floor = static_cast<double>(std::min({a.z, b.z, c.z})) -
                         kDepthSlack * std::max({std::fabs(a.z), std::fabs(b.z), std::fabs(c.z)});
    // The box within the buffer: pixels outside it take no write. (Corners
    // lie within the window band, on whole pixels.)
    const FrameBuffer& fb = context.frameBuffer;
    const int left = std::max(static_cast<int>(std::min({a.x, b.x, c.x})), 0);
    const int right = std::min(static_cast<int>(std::max({a.x, b.x, c.x})), fb.width - 1);
    const int top = std::max(static_cast<int>(std::min({a.y, b.y, c.y})), 0);
    const int bottom = std::min(static_cast<int>(std::max({a.y, b.y, c.y})), fb.height - 1);
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x)
            if (!(fb.At(x, y).depth <= floor)) return false;
    }
    return true;
}

void TriangleRasterizer::RasterizeTriangle()
{
    const RenderContext& c = context;
    if (!drawSetUp) matrices = DrawMatrices(c);
    const TransformedCorner* corners[3];
    uint8_t inside = 0;
    bool withinBand = true;
    for (int k = 0; k < 3; ++k) {
        if (cornerCache != nullptr) {
            // The fetch sets every attribute: nothing of the place's last
            // draw is left.
            corners[k] = &cornerCache->Corner(cornerVertex[k], [&](TransformedCorner& t) {
                (*cornerFetch)(cornerVertex[k], t.vertex);
                TransformCorner(t);
            });
        } else {
            directCorners[k].vertex = vertices[k];
            TransformCorner(directCorners[k]);
            corners[k] = &directCorners[k];
        }
        inside |= corners[k]->inside;
        withinBand = withinBand && corners[k]->withinBand;
    }
    // Trivial rejection: each test may be met by a different corner.
    if (inside != kEveryTestMet || !withinBand) return;

    if (HiddenByDepth(corners)) return;
    // Lighting has no effect but its colour: a face that is culled, rejected
    // or hidden is not lit at all.
    if (hasFaceColor) {
        PipelineVertex v;
        v.normal = faceNormal;
        v.position = centroid;
        faceColor = LitColor(v);
    }
    for (int k = 0; k < 3; ++k) {
        if (cornerCache != nullptr)
            cornerCache->Shade(cornerVertex[k], [this](TransformedCorner& t) { ShadeCorner(t); });
        else
            ShadeCorner(directCorners[k]);
    }

    // Copied in the order PrepareEdges sorts them into (the same three
    // compare-exchanges on the rows), which then finds nothing to exchange.
    int order[3] = {0, 1, 2};
    const auto sortPair = [&](int i, int j) {
        if (corners[order[j]]->vertex.windowPos.y < corners[order[i]]->vertex.windowPos.y)
            std::swap(order[i], order[j]);
    };
    sortPair(1, 2);
    sortPair(0, 1);
    sortPair(1, 2);
    const uint32_t facePacked = hasFaceColor ? faceColor.ToARGB() : 0;
    for (int k = 0; k < 3; ++k) {
        const TransformedCorner& t = *corners[order[k]];
        vertices[k] = t.vertex;
        cornerARGB[k] = t.packedColor;
        if (hasFaceColor) {
            vertices[k].color = faceColor;
            cornerARGB[k] = facePacked;
        }
    }
    cornerARGBKnown = true;
    PrepareEdges();
    WalkEdge(vertices[0], vertices[1], 1);
    WalkEdge(vertices[1], vertices[2], 1);
    WalkEdge(vertices[0], vertices[2], 2);
    if (c.polygonMode == RC_FILL) FillSpans();
}

void TriangleRasterizer::ComputeLighting(PipelineVertex& vertex) const
{
    vertex.color =
        LightPoint(GatherLighting(context, material), vertex.position, vertex.normal, false);
}

void TriangleRasterizer::ComputeCartoonLighting(PipelineVertex& vertex) const
{
    vertex.color =
        LightPoint(GatherLighting(context, material), vertex.position, vertex.normal, true);
}
