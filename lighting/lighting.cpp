// The two lighting equations and their per-light shadow test. Every light is
// a point light at its position (w and direction are not read).
#include <cmath>
#include <limits>

#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace {

bool FitsInt(float v)
{
    return std::isfinite(v) && v > static_cast<float>(std::numeric_limits<int>::min()) - 1.0f &&
           v < static_cast<float>(std::numeric_limits<int>::max());
}

// Distance attenuation applies only when all three coefficients are non-zero;
// a factor of 1 or more (or not a number) is cut to 1.
float Attenuation(const Light& light, float dist)
{
    const float kc = light.constantAttenuation, kl = light.linearAttenuation,
                kq = light.quadraticAttenuation;
    if (kc == 0.0f || kl == 0.0f || kq == 0.0f) return 1.0f;
    const float att = 1.0f / (kc + kl * dist + kq * (dist * dist));
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

}  // namespace

// The point is projected into the light's depth map as the main pass projects
// into the frame buffer; it is shadowed when the stored nearest depth plus the
// bias lies strictly in front of it. An empty map shadows nothing.
bool TriangleRasterizer::InShadow(int slot, const Vector4& point) const
{
    const Light& light = context.lights[slot].light;
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

void TriangleRasterizer::ComputeLighting(PipelineVertex& vertex) const
{
    const Vector3 p = vertex.position;
    const Vector3& n = vertex.normal;
    Vector3 v = Vector3(context.camera.GetEye()) - p;
    v.Normalize();
    Color sum(0.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < kLightSlots; ++i) {
        if (!context.IsEnabled(RC_LIGHT0 + i)) continue;
        if (context.IsEnabled(RC_SHADOW) && InShadow(i, vertex.position)) continue;
        const Light& light = context.lights[i].light;
        const Vector3 toLight = Vector3(light.GetPosition()) - p;
        const float dist = toLight.Length();
        Vector3 l = toLight;
        l.Normalize();
        const float nl = n.Dot(l);
        const float kd = nl > 0.0f ? nl : 0.0f;
        const Color diffuse = (material.GetDiffuse() * light.GetDiffuse()) * kd;
        const Vector3 r = Reflect(n, l);
        const float ks = SpecularWeight(kd, r.Dot(v), material.shininess);
        const Color specular = (material.GetSpecular() * light.GetSpecular()) * ks;
        sum = sum + (diffuse + specular) * Attenuation(light, dist);
    }
    // The material's emission and ambient are added once, unscaled by any light.
    vertex.color = (material.GetEmission() + material.GetAmbient()) + sum;
    vertex.color.a = MinAlpha(material.GetDiffuse());
}

void TriangleRasterizer::ComputeCartoonLighting(PipelineVertex& vertex) const
{
    const Vector3 p = vertex.position;
    const Vector3& n = vertex.normal;
    Vector3 v = Vector3(context.camera.GetEye()) - p;
    v.Normalize();
    Color sum(0.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < kLightSlots; ++i) {
        if (!context.IsEnabled(RC_LIGHT0 + i)) continue;
        if (context.IsEnabled(RC_SHADOW) && InShadow(i, vertex.position)) continue;
        Vector3 l = Vector3(context.lights[i].light.GetPosition()) - p;
        l.Normalize();
        const float nl = n.Dot(l);
        const float kd = nl > 0.0f ? nl : 0.0f;
        const float ks = SpecularWeight(kd, Reflect(n, l).Dot(v), material.shininess);
        const float vn = v.Dot(n);
        const float edge = vn >= 0.0f ? vn : 0.0f;
        // Quantised into two diffuse bands, an all-or-nothing highlight, and a
        // dark outline where the surface turns away from the viewer.
        const float band = kd < 0.5f ? 0.3f : 0.7f;
        const float highlight = ks < 0.7f ? 0.0f : 1.0f;
        const float outline = edge < 0.2f ? 0.0f : 1.0f;
        sum = sum + (material.GetDiffuse() * band + material.GetSpecular() * highlight) * outline;
    }
    vertex.color = sum;
    vertex.color.a = MinAlpha(material.GetDiffuse());
}
