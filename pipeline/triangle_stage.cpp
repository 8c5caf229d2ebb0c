#include "pipeline/triangle_stage.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/frame_buffer.h"

namespace {

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

// Flat shading lit by vertex colours lights the mean of the three corners'
// colours (summed in corner order): the colour interpolated at the centroid,
// where the face is lit, whichever corner comes first.
Color MeanColor(const TransformedCorner* const corners[3])
{
    const Color& a = corners[0]->vertex.color;
    const Color& b = corners[1]->vertex.color;
    const Color& c = corners[2]->vertex.color;
    return {(a.r + b.r + c.r) / 3.0f, (a.g + b.g + c.g) / 3.0f, (a.b + b.b + c.b) / 3.0f, 1.0f};
}

}  // namespace

float SnapCoordinate(double v)
{
    return static_cast<float>(static_cast<int>(v) + 1);
}

RowOrder SortByRow(float y0, float y1, float y2)
{
    RowOrder order{{0, 1, 2}};
    const float y[3] = {y0, y1, y2};
    const auto sortPair = [&](int i, int j) {
        if (y[order.index[j]] < y[order.index[i]]) std::swap(order.index[i], order.index[j]);
    };
    sortPair(1, 2);
    sortPair(0, 1);
    sortPair(1, 2);
    return order;
}

bool TriangleStage::FacesTheEye(FaceInWorld& face) const
{
    face.centroid = setup.model.Transform(face.centroid);
    face.normal = setup.model.TransformDirection(face.normal);
    if (setup.clockwise) face.normal = face.normal * -1.0f;
    if (setup.normalize) face.normal.Normalize();
    const Vector3 toEye = setup.eye - Vector3(face.centroid);
    // A product that is not a number counts as facing away; exactly 0 is drawn.
    return !setup.cullFace || toEye.Dot(face.normal) >= 0.0f;
}

void TriangleStage::TransformCorner(TransformedCorner& t) const
{
    PipelineVertex& v = t.vertex;
    const ProjectedCorner projected = ProjectCorner(v.position);
    t.inside = projected.inside;
    t.withinBand = projected.withinBand;
    v.windowPos = projected.WindowPos();
    if (setup.lighting) {
        v.normal = setup.model.TransformDirection(v.normal);
        if (setup.clockwise) v.normal = v.normal * -1.0f;
        if (setup.normalize) v.normal.Normalize();
    }
    v.position = setup.model.Transform(v.position);
    t.shaded = false;
}

ProjectedCorner TriangleStage::ProjectCorner(const Vector4& position) const
{
    Vector4 windowPos = setup.modelViewProjection.Transform(position);
    windowPos.DivideByW();
    ProjectedCorner p;
    p.inside = (InRange(windowPos.z, setup.zNear, setup.zFar) ? kDepthInside : 0) |
               (InRange(windowPos.x, -1.0f, 1.0f) ? kXInside : 0) |
               (InRange(windowPos.y, -1.0f, 1.0f) ? kYInside : 0);
    p.w = windowPos.w;  // clip w
    windowPos.w = 1.0f;
    windowPos = setup.viewport.Transform(windowPos);
    p.withinBand = WithinWindowBand(windowPos.x) && WithinWindowBand(windowPos.y);
    p.x = p.withinBand ? SnapCoordinate(windowPos.x) : windowPos.x;
    p.y = p.withinBand ? SnapCoordinate(windowPos.y) : windowPos.y;
    p.z = windowPos.z;
    return p;
}

// Gouraud lights a corner once: its colour depends only on its world position
// and normal (and, lit by vertex colours, on the colour it was fetched with),
// so its second edge, and every other face sharing the vertex, take that one
// colour.
void TriangleStage::LightCorner(PipelineVertex& corner) const
{
    if (setup.cornerColour != CornerColour::kCornerLit) return;
    corner.color =
        setup.vertexColorLighting
            ? LightPoint(setup.lights, corner.position, corner.normal, corner.color, false)
            : LightPoint(setup.lights, corner.position, corner.normal, false);
}

void TriangleStage::ShadeCorner(TransformedCorner& corner) const
{
    LightCorner(corner.vertex);
    corner.packedColor = corner.vertex.color.ToARGB();
    corner.shaded = true;
}

// Every fragment is written through the depth test, and every one lies in the
// box of the three corners' pixels: when each pixel of that box inside
// `within` (the frame buffer, or a part of it) already holds a depth at or
// below the least a fragment can have, the triangle would change nothing
// there. On a dense mesh most small triangles are hidden like this by their
// neighbours.
bool TriangleStage::HiddenByDepth(const Vector4& a, const Vector4& b, const Vector4& c,
                                  PixelBox within) const
{
    if (!setup.depthTest) return false;
    for (const float z : {a.z, b.z, c.z})
        if (!(std::fabs(z) <= kMaxBoundedDepth)) return false;  // not a number, or unbounded
    const double floor = static_cast<double>(std::min({a.z, b.z, c.z})) -
                         kDepthSlack * std::max({std::fabs(a.z), std::fabs(b.z), std::fabs(c.z)});
    // Pixels outside `within` take no write here. (Corners lie within the
    // window band, on whole pixels.)
    const FrameBuffer& fb = *setup.frameBuffer;
    const int left = std::max(static_cast<int>(std::min({a.x, b.x, c.x})), within.left);
    const int right = std::min(static_cast<int>(std::max({a.x, b.x, c.x})), within.right - 1);
    const int top = std::max(static_cast<int>(std::min({a.y, b.y, c.y})), within.top);
    const int bottom = std::min(static_cast<int>(std::max({a.y, b.y, c.y})), within.bottom - 1);
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x)
            if (!(fb.At(x, y).depth <= floor)) return false;
    }
    return true;
}

void TriangleStage::Assemble(const TransformedCorner* const corners[3], const Color* faceColor,
                             ScreenTriangle& out) const
{
    const RowOrder order = SortByRow(corners[0]->vertex.windowPos.y, corners[1]->vertex.windowPos.y,
                                     corners[2]->vertex.windowPos.y);
    const uint32_t facePacked = faceColor != nullptr ? faceColor->ToARGB() : 0;
    for (int k = 0; k < 3; ++k) {
        const TransformedCorner& t = *corners[order.index[k]];
        out.corners[k] = t.vertex;
        out.packedColors[k] = t.packedColor;
        if (faceColor != nullptr) {
            out.corners[k].color = *faceColor;
            out.packedColors[k] = facePacked;
        }
    }
}

// The fetch sets every attribute: nothing of the place's last vertex is left.
TransformedCorner& CachedCorners::Fill(int k)
{
    // The corners before k stay. (Corner k's own vertex is not in its place,
    // so it stands in for a corner that is not there.)
    TransformedCorner* place = cache.Take(vertex[k], vertex[0], vertex[k == 2 ? 1 : 0]);
    TransformedCorner& t = place != nullptr ? *place : spare[k];
    fetch(vertex[k], t.vertex);
    stage.TransformCorner(t);
    return t;
}

namespace {

// Trivial rejection: a triangle is kept when each test is met by some corner
// (each may be met by a different one) and every corner lies within the
// window band.
bool Kept(uint8_t inside, bool withinBand)
{
    return inside == kEveryTestMet && withinBand;
}

}  // namespace

template <class Corners>
bool TriangleStage::Transform(Corners& corners, TransformedCorner* transformed[3]) const
{
    uint8_t inside = 0;
    bool withinBand = true;
    for (int k = 0; k < 3; ++k) {
        transformed[k] = &corners.Transform(k);
        inside |= transformed[k]->inside;
        withinBand = withinBand && transformed[k]->withinBand;
    }
    return Kept(inside, withinBand);
}

bool TriangleStage::Project(const ProjectedCorner* const corners[3], RowRange& rows)
{
    const ProjectedCorner &a = *corners[0], &b = *corners[1], &c = *corners[2];
    if (!Kept(a.inside | b.inside | c.inside, a.withinBand && b.withinBand && c.withinBand))
        return false;
    rows = {static_cast<int>(std::min({a.y, b.y, c.y})),
            static_cast<int>(std::max({a.y, b.y, c.y}))};
    return true;
}

bool TriangleStage::HiddenInRows(const Vector4& a, const Vector4& b, const Vector4& c,
                                 OwnRows own) const
{
    const int top = static_cast<int>(std::min({a.y, b.y, c.y}));
    const int bottom = static_cast<int>(std::max({a.y, b.y, c.y}));
    // Most triangles of a dense mesh lie in one band, whose part of them is
    // the frame's.
    if (own.bands->InOneBand(top, bottom))
        return HiddenByDepth(a, b, c, {0, 0, setup.frameBuffer->width, setup.frameBuffer->height});
    bool hidden = true;
    own.bands->ForEachBand(own.thread, top, bottom, [&](const Band& band) {
        hidden = hidden && HiddenByDepth(a, b, c, band.box);
    });
    return hidden;
}

template <class Corners, bool kNoDepthTest>
bool TriangleStage::SetUp(Corners& corners, const FaceInWorld* litFace, ScreenTriangle& out) const
{
    TransformedCorner* transformed[3];
    if (!Transform(corners, transformed)) return false;
    if constexpr (!kNoDepthTest) {
        const FrameBuffer& fb = *setup.frameBuffer;
        if (HiddenByDepth(transformed[0]->vertex.windowPos, transformed[1]->vertex.windowPos,
                          transformed[2]->vertex.windowPos, {0, 0, fb.width, fb.height}))
            return false;
    }
    // Lighting has no effect but its colour: a face that is culled, rejected
    // or hidden is not lit at all.
    if (litFace != nullptr) {
        const Color faceColor =
            setup.vertexColorLighting
                ? LightPoint(setup.lights, litFace->centroid, litFace->normal,
                             MeanColor(transformed), false)
                : LightPoint(setup.lights, litFace->centroid, litFace->normal, false);
        Assemble(transformed, &faceColor, out);
        return true;
    }
    for (int k = 0; k < 3; ++k)
        corners.Shade(*transformed[k]);
    Assemble(transformed, nullptr, out);
    return true;
}

template bool TriangleStage::SetUp(CachedCorners&, const FaceInWorld*, ScreenTriangle&) const;
template bool TriangleStage::SetUp(GivenCorners&, const FaceInWorld*, ScreenTriangle&) const;
template bool TriangleStage::SetUp<CachedCorners, true>(CachedCorners&, const FaceInWorld*,
                                                        ScreenTriangle&) const;
template bool TriangleStage::SetUp<GivenCorners, true>(GivenCorners&, const FaceInWorld*,
                                                       ScreenTriangle&) const;
