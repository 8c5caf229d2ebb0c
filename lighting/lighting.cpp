// The two lighting equations and their per-light shadow test. Every light is
// a point light at its position (w and direction are not read).
#include <cmath>
#include <limits>

#include "lighting/lighting_setup.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

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
bool InShadow(const RenderContext& context, const Light& light, const Vector4& point)
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
    return depth + context.shadowBias < q.z;
}

}  // namespace

LightingSetup::LightingSetup(const RenderContext& context, const Material& material)
    : shadows(context.IsEnabled(RC_SHADOW)),
      eye(context.camera.GetEye()),
      base(material.GetEmission() + material.GetAmbient()),
      materialDiffuse(material.GetDiffuse()),
      materialSpecular(material.GetSpecular()),
      shininess(material.shininess),
      alpha(MinAlpha(material.GetDiffuse()))
{
    for (const LightSlot& slot : context.lights) {
        if (!slot.enabled) continue;
        const Light& light = slot.light;
        sources[sourceCount++] = {
            &light, materialDiffuse * light.GetDiffuse(), materialSpecular * light.GetSpecular(),
            light.constantAttenuation != 0.0f && light.linearAttenuation != 0.0f &&
                light.quadraticAttenuation != 0.0f};
    }
}

Color LightPoint(const LightingSetup& setup, const RenderContext& context, const Vector4& position,
                 const Vector3& n)
{
    const Vector3 p = position;
    Vector3 v = setup.eye - p;
    v.Normalize();
    Color sum(0.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < setup.sourceCount; ++i) {
        const LightingSetup::Source& source = setup.sources[i];
        if (setup.shadows && InShadow(context, *source.light, position)) continue;
        Vector3 l = Vector3(source.light->GetPosition()) - p;
        const float dist = l.Normalize();
        const float nl = n.Dot(l);
        const float kd = nl > 0.0f ? nl : 0.0f;
        const Color diffuse = source.diffuse * kd;
        const float ks = SpecularWeight(kd, Reflect(n, l).Dot(v), setup.shininess);
        const Color specular = source.specular * ks;
        const Color lit = diffuse + specular;
        sum = sum + (source.attenuates ? lit * Attenuation(*source.light, dist) : lit);
    }
    Color color = setup.base + sum;
    color.a = setup.alpha;
    return color;
}

Color LightPointCartoon(const LightingSetup& setup, const RenderContext& context,
                        const Vector4& position, const Vector3& n)
{
    const Vector3 p = position;
    Vector3 v = setup.eye - p;
    v.Normalize();
    Color sum(0.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < setup.sourceCount; ++i) {
        const LightingSetup::Source& source = setup.sources[i];
        if (setup.shadows && InShadow(context, *source.light, position)) continue;
        Vector3 l = Vector3(source.light->GetPosition()) - p;
        l.Normalize();
        const float nl = n.Dot(l);
        const float kd = nl > 0.0f ? nl : 0.0f;
        const float ks = SpecularWeight(kd, Reflect(n, l).Dot(v), setup.shininess);
        const float vn = v.Dot(n);
        const float edge = vn >= 0.0f ? vn : 0.0f;
        const float band = kd < 0.5f ? 0.3f : 0.7f;
        const float highlight = ks < 0.7f ? 0.0f : 1.0f;
        const float outline = edge < 0.2f ? 0.0f : 1.0f;
        sum = sum + (setup.materialDiffuse * band + setup.materialSpecular * highlight) * outline;
    }
    sum.a = setup.alpha;
    return sum;
}

void TriangleRasterizer::ComputeLighting(PipelineVertex& vertex) const
{
    vertex.color =
        LightPoint(LightingSetup(context, material), context, vertex.position, vertex.normal);
}

void TriangleRasterizer::ComputeCartoonLighting(PipelineVertex& vertex) const
{
    vertex.color = LightPointCartoon(LightingSetup(context, material), context, vertex.position,
                                     vertex.normal);
}
