#pragma once

// The fragment stage: one pixel's colour and depth, worked out between the
// two ends of an edge or a span, and written. Its steps, in order: the
// colour, the depth, the lighting at the fragment, the texel, the write.
// Which of them a draw's fragments take is chosen once per draw
// (WithFragmentStage); each kind is one short function, inline so that the
// walks and spans run it without a call.
#include <cassert>
#include <cmath>

#include "lighting/lighting_setup.h"
#include "pipeline/draw_setup.h"
#include "pipeline/fragment_ends.h"
#include "pipeline/interpolated_lanes.h"
#include "pipeline/pipeline_vertex.h"
#include "pipeline/texture_image.h"
#include "render/frame_buffer.h"

// The write's depth half: whether a fragment at depth z is written to `pixel`
// (null outside the frame buffer). With the depth test on, only a fragment
// nearer than the stored depth is, and its depth is then stored.
inline bool WriteDepth(Pixel* pixel, bool depthTest, float z)
{
    return pixel != nullptr && (!depthTest || FrameBuffer::StoreDepthIfNearer(*pixel, z));
}

// The texel: the texture coordinate interpolated with the perspective-
// correct parameter, and the texture sampled there.
Color TexelAt(const TextureImage& texture, const FragmentEnds& ends, float t, Vector4& texCoord);

// Every kind shades a fragment at t between `ends` with Shade(ends, pixel, t,
// record): `pixel` is where it is written (null: nowhere), and `record`, when
// not null, receives what the kind works out of the fragment that the spans
// read back from an edge list; its other fields keep what they held. Finish
// writes whatever still waits when the draw ends.

// The ends' colours interpolated: the colour, the depth, the write.
class InterpolatedFragments {
public:
    explicit InterpolatedFragments(const DrawSetup& setup) : depthTest(setup.depthTest) {}

    void Shade(const FragmentEnds& ends, Pixel* pixel, float t, PipelineVertex* record) const
    {
        if (WriteDepth(pixel, depthTest, ends.Depth(t)))
            FrameBuffer::Blend(*pixel, ends.ColorAt(t));
        if (record != nullptr) record->color = ends.ColorAt(t);
    }
    // A span's pixels are written several at a time, as each alone would be.
    void ShadeSpan(const FragmentEnds& ends, Pixel* first, int step, StepRange range, int n) const
    {
        WriteInterpolatedSpan(ends, depthTest, first, step, range, n);
    }
    void Finish() {}
    // Finish, for a draw of the one fragment handed to Shade with `record`,
    // which already holds its colour.
    void FinishWithColor(PipelineVertex& /*record*/) {}

private:
    bool depthTest;
};

// The interpolated colour with the texel applied: the colour, the depth, the
// texel (which it multiplies, or replaces), the write.
class TexturedFragments {
public:
    explicit TexturedFragments(const DrawSetup& setup)
        : texture(*setup.texture), replace(setup.replace), depthTest(setup.depthTest)
    {
    }

    void Shade(const FragmentEnds& ends, Pixel* pixel, float t, PipelineVertex* record) const
    {
        const bool written = WriteDepth(pixel, depthTest, ends.Depth(t));
        if (!written && record == nullptr) return;  // nothing to write or hand back
        Vector4 texCoord;
        const Color texel = TexelAt(texture, ends, t, texCoord);
        const Color color = replace ? texel : ends.ColorAt(t) * texel;
        if (record != nullptr) {
            record->texCoord = texCoord;
            record->color = color;
        }
        if (written) FrameBuffer::Blend(*pixel, color);
    }
    void Finish() {}
    void FinishWithColor(PipelineVertex& /*record*/) {}

private:
    const TextureImage& texture;
    bool replace;
    bool depthTest;
};

// Written fragments waiting for their per-pixel lighting, lit a batch at a
// time and blended into their pixels in the order they were written. Nothing
// reads a pixel's colour during a draw, so the frame buffer ends as if each
// were lit on the spot.
class LightQueue {
public:
    LightQueue(const LightingSetup& lights, bool cartoon, bool textured, bool byVertexColor)
        : lights(lights), cartoon(cartoon), textured(textured), byVertexColor(byVertexColor)
    {
    }

    // A fragment's interpolated normal (not yet normalised: the queue
    // normalises a batch's normals at once) and position.
    void Push(const float normal[3], const float position[3], Pixel& pixel, const Color& texel)
    {
        const int k = points.count;
        assert(k < PointBatch::kSize);  // a full batch is lit at once
        points.nx[k] = normal[0];
        points.ny[k] = normal[1];
        points.nz[k] = normal[2];
        points.px[k] = position[0];
        points.py[k] = position[1];
        points.pz[k] = position[2];
        pixels[k] = &pixel;
        texels[k] = texel;
        points.count = k + 1;
        if (points.count == PointBatch::kSize) LightAndBlend();
    }
    // A fragment lit by its vertex colour.
    void Push(const float normal[3], const float position[3], const Color& vertexColor,
              Pixel& pixel, const Color& texel)
    {
        const int k = points.count;
        vertexColors.r[k] = vertexColor.r;
        vertexColors.g[k] = vertexColor.g;
        vertexColors.b[k] = vertexColor.b;
        Push(normal, position, pixel, texel);
    }
    // Lights the waiting fragments and blends them into their pixels.
    void LightAndBlend();
    int Waiting() const { return points.count; }
    // The colour place k of the last batch lit was blended with.
    Color BlendedColor(int k) const;

private:
    const LightingSetup& lights;
    bool cartoon;
    bool textured;       // the lit colour is multiplied by the fragment's texel
    bool byVertexColor;  // lit by the vertex colours pushed with the fragments
    PointBatch points{};
    PointColors vertexColors{};
    Pixel* pixels[PointBatch::kSize] = {};
    Color texels[PointBatch::kSize];
    Color lit[PointBatch::kSize];  // kept here, so that a batch constructs none
};

// Lit at the fragment by the standard or the cel equation: the depth, the
// lighting (which waits in the queue), the texel when texturing, the write.
// The vertex colours are unread; or, kByVertexColor, the fragment's
// interpolated colour (the colour step) is what lights it, and what an edge
// entry records for the spans to interpolate.
template <bool kByVertexColor>
class LitFragmentsOf {
public:
    explicit LitFragmentsOf(const DrawSetup& setup)
        : setup(setup),
          texture(setup.texture),
          depthTest(setup.depthTest),
          queue(setup.lights, setup.cartoon, setup.texture != nullptr, kByVertexColor)
    {
    }

    void Shade(const FragmentEnds& ends, Pixel* pixel, float t, PipelineVertex* record)
    {
        const bool written = WriteDepth(pixel, depthTest, ends.Depth(t));
        if (!written && record == nullptr) return;  // nothing to write or hand back
        Color texel;
        if (texture != nullptr) {
            Vector4 texCoord;
            texel = TexelAt(*texture, ends, t, texCoord);
            if (record != nullptr) record->texCoord = texCoord;
        }
        float normal[3], position[3];
        InterpolateSurface(ends, t, normal, position);
        if (record != nullptr) RecordSurface(normal, position, *record);
        if constexpr (kByVertexColor) {
            const Color color = ends.ColorAt(t);
            if (record != nullptr) record->color = color;
            if (written) queue.Push(normal, position, color, *pixel, texel);
        } else if (written) {
            queue.Push(normal, position, *pixel, texel);
        }
    }
    void Finish() { queue.LightAndBlend(); }
    // Finish, for a draw of the one fragment handed to Shade with `record`:
    // its colour, as written or as it would have been, goes to the record.
    void FinishWithColor(PipelineVertex& record);

private:
    const DrawSetup& setup;
    const TextureImage* texture;
    bool depthTest;
    LightQueue queue;

    // Normal and position of the fragment at t, (1 - t) a + t b.
    static void InterpolateSurface(const FragmentEnds& ends, float t, float normal[3],
                                   float position[3])
    {
        const PipelineVertex& a = ends.a;
        const PipelineVertex& b = ends.b;
        const float s = 1.0f - t;
        normal[0] = s * a.normal.x + t * b.normal.x;
        normal[1] = s * a.normal.y + t * b.normal.y;
        normal[2] = s * a.normal.z + t * b.normal.z;
        position[0] = s * a.position.x + t * b.position.x;
        position[1] = s * a.position.y + t * b.position.y;
        position[2] = s * a.position.z + t * b.position.z;
    }
    // What the spans read of a lit fragment: the unit normal and the position.
    static void RecordSurface(const float normal[3], const float position[3],
                              PipelineVertex& record)
    {
        float n[3] = {normal[0], normal[1], normal[2]};
        NormalizeOrZero(n[0], n[1], n[2]);
        record.normal = Vector3(n[0], n[1], n[2]);
        record.position = Vector4(position[0], position[1], position[2], 1.0f);
    }
};
using LitFragments = LitFragmentsOf<false>;
using VertexColorLitFragments = LitFragmentsOf<true>;

// Steps `range` of a span of n steps, whose first pixel is `first`,
// fragment by fragment.
template <class Kind>
void ShadeEachFragment(Kind& kind, const FragmentEnds& ends, Pixel* first, int step,
                       StepRange range, int n)
{
    Pixel* pixel = first;
    for (int i = range.first; i < range.end; ++i, pixel += step)
        kind.Shade(ends, pixel, static_cast<float>(i) / static_cast<float>(n), nullptr);
}

// The same with the kind's ShadeSpan where it has one.
template <class Kind>
void ShadeSpan(Kind& kind, const FragmentEnds& ends, Pixel* first, int step, StepRange range, int n)
{
    ShadeEachFragment(kind, ends, first, step, range, n);
}
inline void ShadeSpan(InterpolatedFragments& kind, const FragmentEnds& ends, Pixel* first, int step,
                      StepRange range, int n)
{
    // Lanes pay from five steps on; a shorter span, as most are where the
    // triangles are small, costs less fragment by fragment.
    constexpr int kFewestForLanes = 5;
    if (range.end - range.first < kFewestForLanes)
        ShadeEachFragment(kind, ends, first, step, range, n);
    else
        kind.ShadeSpan(ends, first, step, range, n);
}

// One fragment shaded and written on its own, with nothing of the kind's
// waiting: `out` receives what the kind works out of it, its colour
// included, which is returned.
template <class Kind>
Color ShadeAlone(Kind& kind, const FragmentEnds& ends, Pixel* pixel, float t, PipelineVertex& out)
{
    kind.Shade(ends, pixel, t, &out);
    kind.FinishWithColor(out);
    return out.color;
}

// Runs `draw` with the fragment stage of the set-up's kind, then finishes it:
// the one place where the kind is chosen, once per draw.
template <class Draw>
void WithFragmentStage(const DrawSetup& setup, Draw draw)
{
    switch (setup.fragmentKind) {
        case FragmentKind::kInterpolated: {
            InterpolatedFragments fragments(setup);
            draw(fragments);
            fragments.Finish();
            return;
        }
        case FragmentKind::kTextured: {
            TexturedFragments fragments(setup);
            draw(fragments);
            fragments.Finish();
            return;
        }
        case FragmentKind::kLitPerPixel: {
            LitFragments fragments(setup);
            draw(fragments);
            fragments.Finish();
            return;
        }
        case FragmentKind::kLitByVertexColor: {
            VertexColorLitFragments fragments(setup);
            draw(fragments);
            fragments.Finish();
            return;
        }
    }
}
