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
    return pixel != nullptr && (!mode.depthTest || FrameBuffer::StoreDepthIfNearer(*pixel, z));
}

// Normal and position of the fragment at t, interpolated as (1 - t) a + t b;
// the normal is not normalised.
inline void TriangleRasterizer::InterpolateSurface(const PipelineVertex& a, const PipelineVertex& b,
                                                   float t, float normal[3], float position[3])
{
    const float s = 1.0f - t;
    normal[0] = s * a.normal.x + t * b.normal.x;
    normal[1] = s * a.normal.y + t * b.normal.y;
    normal[2] = s * a.normal.z + t * b.normal.z;
    position[0] = s * a.position.x + t * b.position.x;
    position[1] = s * a.position.y + t * b.position.y;
    position[2] = s * a.position.z + t * b.position.z;
}

// The colour a lit or interpolated colour becomes on a textured fragment.
inline Color TexturedColor(const FragmentMode& mode, const Color& color, const Color& texel)
{
    return mode.replace ? texel : color * texel;
}

template <bool kColourOnly>
inline void TriangleRasterizer::ShadeFragment(const FragmentMode& mode, const PipelineVertex& a,
                                              const PipelineVertex& b, const FragmentEnds& ends,
                                              Pixel* pixel, float t, PipelineVertex* record)
{
    const float z = ends.Depth(t);
    const bool written = Admitted(mode, pixel, z);
    if (kColourOnly) {
        if (written) FrameBuffer::Blend(*pixel, ends.ColorAt(t));
        return;
    }
    if (!written && record == nullptr) return;  // nothing to write or hand back
    Color texel;
    if (mode.texturing) {
        const float tp = fragment::PerspectiveParameter(t, a.windowPos.w, b.windowPos.w);
        const Vector4 texCoord = fragment::Lerp(a.texCoord, b.texCoord, tp);
        texel = context.texture->Sample(texCoord.x, texCoord.y);
        if (record) record->texCoord = texCoord;
    }
    if (!mode.lightPerPixel) {
        const Color color =
            mode.texturing ? TexturedColor(mode, ends.ColorAt(t), texel) : ends.ColorAt(t);
        if (record) record->color = color;
        if (written) FrameBuffer::Blend(*pixel, color);
        return;
    }
    // Lit per pixel: a recorded fragment hands back its surface, and a
    // written one waits in the queue for its colour.
    float n[3], p[3];
    InterpolateSurface(a, b, t, n, p);
    if (record) {
        float u[3] = {n[0], n[1], n[2]};
        NormalizeOrZero(u[0], u[1], u[2]);
        record->normal = Vector3(u[0], u[1], u[2]);
        record->position = Vector4(p[0], p[1], p[2], 1.0f);
    }
    if (!written) return;
    const int k = queued.count;  // the queue normalises a batch's normals at once
    queued.nx[k] = n[0];
    queued.ny[k] = n[1];
    queued.nz[k] = n[2];
    queued.px[k] = p[0];
    queued.py[k] = p[1];
    queued.pz[k] = p[2];
    queuedPixels[k] = pixel;
    queuedTexels[k] = texel;
    queued.count = k + 1;
    if (queued.count == PointBatch::kSize) LightQueuedFragments();
}
