#pragma once

// The fragment stage's per-pixel work, inline so that the edge walks and
// span fills run it without a call per pixel.
#include <cmath>

#include "lighting/lighting_setup.h"
#include "pipeline/texture_image.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace fragment {

// (1 - t) a + t b on x, y and z, with w = 1.
inline Vector4 Lerp(const Vector4& a, const Vector4& b, float t)
{
    const float s = 1.0f - t;
    return {s * a.x + t * b.x, s * a.y + t * b.y, s * a.z + t * b.z, 1.0f};
}

// Perspective-correct parameter from the clip w of both ends. Where the
// denominator is zero or not finite (ends whose w is 0 or differs in sign),
// the screen-space parameter stands in.
inline float PerspectiveParameter(float t, float wa, float wb)
{
    const float denominator = (wa - wb) * t + wb;
    if (denominator == 0.0f || !std::isfinite(denominator)) return t;
    return (t * wa) / denominator;
}

}  // namespace fragment

// Whether a fragment at depth z reaches `pixel`: inside the frame buffer
// and, with the depth test on, passing it (which stores its depth).
inline bool Admitted(const FragmentMode& mode, Pixel* pixel, float z)
{
    return pixel != nullptr && (!mode.depthTest || FrameBuffer::PassDepthTest(*pixel, z));
}

// Admitted without storing the depth: what Admitted will answer, as long as
// nothing writes the pixel in between.
inline bool WouldBeAdmitted(const FragmentMode& mode, const Pixel* pixel, float z)
{
    return pixel != nullptr && (!mode.depthTest || FrameBuffer::WouldPassDepthTest(*pixel, z));
}

template <bool kColourOnly>
inline void TriangleRasterizer::ShadeFragment(const FragmentMode& mode, const PipelineVertex& a,
                                              const PipelineVertex& b, const FragmentEnds& ends,
                                              Pixel* pixel, float t, FragmentOutputs* outputs,
                                              const LitFragment* lit)
{
    const float z = ends.Depth(t);
    if (kColourOnly) {
        if (Admitted(mode, pixel, z)) FrameBuffer::Blend(*pixel, ends.ColorAt(t));
        return;
    }
    Color color;
    if (mode.lightPerPixel) {
        // Lit ahead (LightFragments); the interpolated colour would be
        // discarded, so it is not computed.
        color = lit->color;
        if (outputs) {
            outputs->normal = Vector3(lit->normal[0], lit->normal[1], lit->normal[2]);
            outputs->position = Vector4(lit->position[0], lit->position[1], lit->position[2], 1.0f);
        }
    } else {
        color = ends.ColorAt(t);
    }
    if (mode.texturing) {
        const float tp = fragment::PerspectiveParameter(t, a.windowPos.w, b.windowPos.w);
        const Vector4 texCoord = fragment::Lerp(a.texCoord, b.texCoord, tp);
        const Color texel = context.texture->Sample(texCoord.x, texCoord.y);
        color = mode.replace ? texel : color * texel;
        if (outputs) outputs->texCoord = texCoord;
    }
    if (outputs) outputs->color = color;
    if (Admitted(mode, pixel, z)) FrameBuffer::Blend(*pixel, color);
}
