// The two lighting equations and their per-light shadow test. Every light is
// a point light at its position (w and direction are not read).
#include <cassert>
#include <cmath>
#include <iterator>
#include <limits>

#include "lighting/lighting_setup.h"
#include "math/lanes.h"

namespace {

bool FitsInt(float v)
{
    return std::isfinite(v) && v > static_cast<float>(std::numeric_limits<int>::min()) - 1.0f &&
           v < static_cast<float>(std::numeric_limits<int>::max());
}

// Distance attenuation, for lights whose three coefficients are all non-zero
// (the others are not attenuated at all); a factor of 1 or more (or not a
// number) is cut to 1.
float Attenuation(const Light& light, float dist)
{
    const float att = 1.0f / (light.constantAttenuation + light.linearAttenuation * dist +
                              light.quadraticAttenuation * (dist * dist));
    return att < 1.0f ? att : 1.0f;
}

// Specular weight of the reflection-vector model: only for a lit side facing
// the viewer within 90 degrees of the mirror direction.
float SpecularWeight(float kd, float rv, float shininess)
{
    return (kd > 0.0f && rv > 0.0f) ? std::pow(rv, shininess) : 0.0f;
}

float MinAlpha(const Color& diffuse)
{
    return diffuse.a < 1.0f ? diffuse.a : 1.0f;
}

// The point is projected into the light's depth map as the main pass projects
// into the frame buffer; it is shadowed when the stored nearest depth plus the
// bias lies strictly in front of it. An empty map shadows nothing.
bool InShadow(const LightingSetup& setup, const Light& light, const Vector4& point)
{
    Vector4 q =
        Transform(Vector4(point.x, point.y, point.z, 1.0f), light.camera.GetViewProjection());
    q.DivideByW();
    const int w = light.shadowMap.width, h = light.shadowMap.height;
    float depth = CLEAR_DEPTH;
    if (w != 0 && h != 0) {
        const float sx = q.x / (2.0f / static_cast<float>(w)) + static_cast<float>(w / 2);
        const float sy = q.y / (-2.0f / static_cast<float>(h)) + static_cast<float>(h / 2);
        if (FitsInt(sx) && FitsInt(sy))
            depth = light.shadowMap.GetDepth(static_cast<int>(sx), static_cast<int>(sy));
    }
    return depth + setup.shadowBias < q.z;
}

}  // namespace

LightingSetup::LightingSetup(const Material& material, const Vector3& eye, bool shadows,
                             float shadowBias)
    : shadows(shadows),
      shadowBias(shadowBias),
      eye(eye),
      base(material.GetEmission() + material.GetAmbient()),
      materialEmission(material.GetEmission()),
      materialAmbient(material.GetAmbient()),
      materialDiffuse(material.GetDiffuse()),
      materialSpecular(material.GetSpecular()),
      shininess(material.shininess),
      alpha(MinAlpha(material.GetDiffuse()))
{
}

void LightingSetup::AddLight(const Light& light)
{
    assert(sourceCount < static_cast<int>(std::size(sources)));
    sources[sourceCount++] = {
        &light, materialDiffuse * light.GetDiffuse(), materialSpecular * light.GetSpecular(),
        light.constantAttenuation != 0.0f && light.linearAttenuation != 0.0f &&
            light.quadraticAttenuation != 0.0f};
}

namespace {

constexpr int kBatch = PointBatch::kSize;

// The points a loop runs over. kOne: the batch is known to hold a single
// point, so the loops compile to straight code without their set-up; the
// arithmetic per point is the same either way.
template <bool kOne>
int PointCount(const PointBatch& p)
{
    return kOne ? 1 : p.count;
}

// Per point of a batch: unit vectors (as Vector3::Normalize makes them: a
// zero vector stays zero) and the lengths they had.
struct Directions {
    float x[kBatch], y[kBatch], z[kBatch], length[kBatch];
};

// Per point of a batch, for one light.
struct LightTerms {
    float kd[kBatch];         // Lambert weight max(N . L, 0)
    float rv[kBatch];         // R . V, R the mirror image of L about N
    float ks[kBatch];         // specular weight
    int32_t reached[kBatch];  // 1 where the light is not shadowed at the point
};

// Left uninitialised: a batch's points are written before they are read.
struct ColourSums {
    float r[kBatch], g[kBatch], b[kBatch];

    // Only the batch's points: zeroing all kBatch places (`ColourSums sum{}`)
    // compiles to a string store that costs more than lighting a few points.
    void SetToZero(int count)
    {
        for (int k = 0; k < count; ++k)
            r[k] = g[k] = b[k] = 0.0f;
    }
};

template <bool kOne>
void DirectionsTowards(const Vector4& target, const PointBatch& p, Directions& d)
{
    const float tx = target.x, ty = target.y, tz = target.z;
    const int count = PointCount<kOne>(p);
    for (int k = 0; k < count; ++k) {
        float x = tx - p.px[k], y = ty - p.py[k], z = tz - p.pz[k];
        d.length[k] = NormalizeOrZero(x, y, z);
        d.x[k] = x;
        d.y[k] = y;
        d.z[k] = z;
    }
}

// The terms every equation needs of one light: whether it reaches the point
// (its shadow test, when shadows are on), kd, R . V and ks.
template <bool kOne>
void ComputeLightTerms(const LightingSetup& setup, const Light& light, const PointBatch& p,
                       const Directions& l, const Directions& v, LightTerms& t)
{
    const int count = PointCount<kOne>(p);
    for (int k = 0; k < count; ++k) {
        const Vector4 point(p.px[k], p.py[k], p.pz[k], 1.0f);
        t.reached[k] = !setup.shadows || !InShadow(setup, light, point) ? 1 : 0;
    }
    for (int k = 0; k < count; ++k) {
        const float nl = p.nx[k] * l.x[k] + p.ny[k] * l.y[k] + p.nz[k] * l.z[k];
        t.kd[k] = nl > 0.0f ? nl : 0.0f;
        // Reflect(N, L) = (N (N . L)) 2 - L
        const float rx = (p.nx[k] * nl) * 2.0f - l.x[k];
        const float ry = (p.ny[k] * nl) * 2.0f - l.y[k];
        const float rz = (p.nz[k] * nl) * 2.0f - l.z[k];
        t.rv[k] = rx * v.x[k] + ry * v.y[k] + rz * v.z[k];
    }
    for (int k = 0; k < count; ++k)
        t.ks[k] = SpecularWeight(t.kd[k], t.rv[k], setup.shininess);
}

// The colour point k reflects diffusely: the material's diffuse colour, or,
// lit by vertex colours (kByVertex), the point's own.
template <bool kByVertex>
Color DiffuseColor(const LightingSetup& setup, const PointColors* vertexColors, int k)
{
    if constexpr (kByVertex)
        return Color(vertexColors->r[k], vertexColors->g[k], vertexColors->b[k], 1.0f);
    else
        return setup.materialDiffuse;
}

// Dc / kd of one light at point k: Md x Ld (the source's, the same for every
// point), or C x Ld with the point's vertex colour C.
template <bool kByVertex>
Color DiffuseOfLight(const LightingSetup::Source& source, const Color& lightDiffuse,
                     const PointColors* vertexColors, int k)
{
    if constexpr (kByVertex)
        return Color(vertexColors->r[k], vertexColors->g[k], vertexColors->b[k], 1.0f) *
               lightDiffuse;
    else
        return source.diffuse;
}

// What the standard equation adds once, unscaled by any light: Me + Ma, or
// Me + Ma x C with the point's vertex colour C.
template <bool kByVertex>
Color EmissionAndAmbient(const LightingSetup& setup, const PointColors* vertexColors, int k)
{
    if constexpr (kByVertex)
        return setup.materialEmission +
               setup.materialAmbient * DiffuseColor<true>(setup, vertexColors, k);
    else
        return setup.base;
}

// Adds a light's (r, g, b) to the sums of the points it reaches.
template <bool kOne>
void AddWhereReached(const PointBatch& p, const LightTerms& t, const ColourSums& add,
                     ColourSums& sum)
{
    const int count = PointCount<kOne>(p);
    for (int k = 0; k < count; ++k) {
        const float r = sum.r[k] + add.r[k], g = sum.g[k] + add.g[k], b = sum.b[k] + add.b[k];
        sum.r[k] = t.reached[k] != 0 ? r : sum.r[k];
        sum.g[k] = t.reached[k] != 0 ? g : sum.g[k];
        sum.b[k] = t.reached[k] != 0 ? b : sum.b[k];
    }
}

// kByVertex: lit by `vertexColors` (null otherwise).
template <bool kOne, bool kByVertex>
void LightStandard(const LightingSetup& setup, const PointBatch& p, const PointColors* vertexColors,
                   Color* colors)
{
    const int count = PointCount<kOne>(p);
    Directions v, l;
    DirectionsTowards<kOne>(setup.eye, p, v);
    ColourSums sum;
    sum.SetToZero(count);
    for (int i = 0; i < setup.sourceCount; ++i) {
        const LightingSetup::Source& source = setup.sources[i];
        const Light& light = *source.light;
        LightTerms t;
        DirectionsTowards<kOne>(light.GetPosition(), p, l);
        ComputeLightTerms<kOne>(setup, light, p, l, v, t);
        const Color lightDiffuse = light.GetDiffuse();
        const Color& s = source.specular;
        ColourSums lit;
        for (int k = 0; k < count; ++k) {
            const Color d = DiffuseOfLight<kByVertex>(source, lightDiffuse, vertexColors, k);
            lit.r[k] = d.r * t.kd[k] + s.r * t.ks[k];
            lit.g[k] = d.g * t.kd[k] + s.g * t.ks[k];
            lit.b[k] = d.b * t.kd[k] + s.b * t.ks[k];
        }
        if (source.attenuates) {
            for (int k = 0; k < count; ++k) {
                const float att = Attenuation(light, l.length[k]);
                lit.r[k] = lit.r[k] * att;
                lit.g[k] = lit.g[k] * att;
                lit.b[k] = lit.b[k] * att;
            }
        }
        // A light that does not reach the point contributes nothing at all.
        AddWhereReached<kOne>(p, t, lit, sum);
    }
    // The material's emission and ambient are added once, unscaled by any light.
    for (int k = 0; k < count; ++k) {
        const Color base = EmissionAndAmbient<kByVertex>(setup, vertexColors, k);
        colors[k] = Color(base.r + sum.r[k], base.g + sum.g[k], base.b + sum.b[k], setup.alpha);
    }
}

template <bool kOne, bool kByVertex>
void LightCartoon(const LightingSetup& setup, const PointBatch& p, const PointColors* vertexColors,
                  Color* colors)
{
    const int count = PointCount<kOne>(p);
    Directions v, l;
    DirectionsTowards<kOne>(setup.eye, p, v);
    ColourSums sum;
    sum.SetToZero(count);
    const Color& ms = setup.materialSpecular;
    for (int i = 0; i < setup.sourceCount; ++i) {
        const Light& light = *setup.sources[i].light;
        LightTerms t;
        DirectionsTowards<kOne>(light.GetPosition(), p, l);
        ComputeLightTerms<kOne>(setup, light, p, l, v, t);
        ColourSums lit;
        for (int k = 0; k < count; ++k) {
            const float vn = v.x[k] * p.nx[k] + v.y[k] * p.ny[k] + v.z[k] * p.nz[k];
            const float edge = vn >= 0.0f ? vn : 0.0f;
            const float band = t.kd[k] < 0.5f ? 0.3f : 0.7f;
            const float highlight = t.ks[k] < 0.7f ? 0.0f : 1.0f;
            const float outline = edge < 0.2f ? 0.0f : 1.0f;
            const Color md = DiffuseColor<kByVertex>(setup, vertexColors, k);
            lit.r[k] = (md.r * band + ms.r * highlight) * outline;
            lit.g[k] = (md.g * band + ms.g * highlight) * outline;
            lit.b[k] = (md.b * band + ms.b * highlight) * outline;
        }
        // The first `count` entries of `lit` are written above; no more are read.
        // cppcheck-suppress uninitvar
        AddWhereReached<kOne>(p, t, lit, sum);
    }
    for (int k = 0; k < count; ++k)
        colors[k] = Color(sum.r[k], sum.g[k], sum.b[k], setup.alpha);
}

}  // namespace

namespace {

// A batch by the cel or the standard equation, lit by the material's colour
// or, with vertexColors, by the points' own.
void LightBatch(const LightingSetup& setup, const PointBatch& points,
                const PointColors* vertexColors, bool cartoon, Color* colors)
{
    if (cartoon && vertexColors != nullptr)
        LightCartoon<false, true>(setup, points, vertexColors, colors);
    else if (cartoon)
        LightCartoon<false, false>(setup, points, nullptr, colors);
    else if (vertexColors != nullptr)
        LightStandard<false, true>(setup, points, vertexColors, colors);
    else
        LightStandard<false, false>(setup, points, nullptr, colors);
}

using BatchLighter = void (*)(const LightingSetup&, const PointBatch&, const PointColors*, bool,
                              Color*);

// The batch loops work on as many points an instruction as the lanes the
// function is compiled for hold. pow stays the mathematics library's,
// called point by point: no vector pow rounds as it does.
FOUR_LANES_FUNCTION void LightBatchIn4Lanes(const LightingSetup& setup, const PointBatch& points,
                                            const PointColors* vertexColors, bool cartoon,
                                            Color* colors)
{
    LightBatch(setup, points, vertexColors, cartoon, colors);
}

EIGHT_LANES_FUNCTION void LightBatchIn8Lanes(const LightingSetup& setup, const PointBatch& points,
                                             const PointColors* vertexColors, bool cartoon,
                                             Color* colors)
{
    LightBatch(setup, points, vertexColors, cartoon, colors);
}

constexpr LaneVariants<BatchLighter> kLighters{LightBatchIn4Lanes, LightBatchIn8Lanes};

// With the widest lanes the processor has, chosen once.
void LightBatchInWidestLanes(const LightingSetup& setup, const PointBatch& points,
                             const PointColors* vertexColors, bool cartoon, Color* colors)
{
    static const BatchLighter kLighter = kLighters.OfWidth(WidestLanes());
    kLighter(setup, points, vertexColors, cartoon, colors);
}

}  // namespace

void LightPoints(const LightingSetup& setup, const PointBatch& points, Color* colors)
{
    LightBatchInWidestLanes(setup, points, nullptr, false, colors);
}

void LightPointsCartoon(const LightingSetup& setup, const PointBatch& points, Color* colors)
{
    LightBatchInWidestLanes(setup, points, nullptr, true, colors);
}

void LightPoints(const LightingSetup& setup, const PointBatch& points,
                 const PointColors& vertexColors, Color* colors)
{
    LightBatchInWidestLanes(setup, points, &vertexColors, false, colors);
}

void LightPointsCartoon(const LightingSetup& setup, const PointBatch& points,
                        const PointColors& vertexColors, Color* colors)
{
    LightBatchInWidestLanes(setup, points, &vertexColors, true, colors);
}

bool LightPointsWithLanes(int width, const LightingSetup& setup, const PointBatch& points,
                          const PointColors* vertexColors, bool cartoon, Color* colors)
{
    return kLighters.Call(width, setup, points, vertexColors, cartoon, colors);
}

namespace {

// One point as a batch of one.
PointBatch OnePoint(const Vector4& position, const Vector3& normal)
{
    PointBatch point;
    point.count = 1;
    point.px[0] = position.x;
    point.py[0] = position.y;
    point.pz[0] = position.z;
    point.nx[0] = normal.x;
    point.ny[0] = normal.y;
    point.nz[0] = normal.z;
    return point;
}

}  // namespace

// A point alone is lit for every Gouraud corner and flat face: its steps are
// inlined (flatten), so that it calls nothing but pow and the shadow map.
__attribute__((flatten)) Color LightPoint(const LightingSetup& setup, const Vector4& position,
                                          const Vector3& normal, bool cartoon)
{
    const PointBatch point = OnePoint(position, normal);
    Color color;
    if (cartoon)
        LightCartoon<true, false>(setup, point, nullptr, &color);
    else
        LightStandard<true, false>(setup, point, nullptr, &color);
    return color;
}

__attribute__((flatten)) Color LightPoint(const LightingSetup& setup, const Vector4& position,
                                          const Vector3& normal, const Color& vertexColor,
                                          bool cartoon)
{
    const PointBatch point = OnePoint(position, normal);
    PointColors pointColor;
    pointColor.r[0] = vertexColor.r;
    pointColor.g[0] = vertexColor.g;
    pointColor.b[0] = vertexColor.b;
    Color color;
    if (cartoon)
        LightCartoon<true, true>(setup, point, &pointColor, &color);
    else
        LightStandard<true, true>(setup, point, &pointColor, &color);
    return color;
}
