#include "pipeline/fragment_stage.h"

namespace {

// (1 - t) a + t b on x, y and z, with w = 1.
Vector4 Lerp(const Vector4& a, const Vector4& b, float t)
{
    const float s = 1.0f - t;
    return {s * a.x + t * b.x, s * a.y + t * b.y, s * a.z + t * b.z, 1.0f};
}

// Perspective-correct parameter from the clip w of both ends. Where the
// denominator is zero or not finite (ends whose w is 0 or differs in sign),
// the screen-space parameter stands in.
float PerspectiveParameter(float t, float wa, float wb)
{
    const float denominator = (wa - wb) * t + wb;
    if (denominator == 0.0f || !std::isfinite(denominator)) return t;
    return (t * wa) / denominator;
}

}  // namespace

Color TexelAt(const TextureImage& texture, const FragmentEnds& ends, float t, Vector4& texCoord)
{
    const float tp = PerspectiveParameter(t, ends.a.windowPos.w, ends.b.windowPos.w);
    texCoord = Lerp(ends.a.texCoord, ends.b.texCoord, tp);
    return texture.Sample(texCoord.x, texCoord.y);
}

void LightQueue::LightAndBlend()
{
    if (points.count == 0) return;
    for (int k = 0; k < points.count; ++k)
        NormalizeOrZero(points.nx[k], points.ny[k], points.nz[k]);
    if (byVertexColor && cartoon)
        LightPointsCartoon(lights, points, vertexColors, lit);
    else if (byVertexColor)
        LightPoints(lights, points, vertexColors, lit);
    else if (cartoon)
        LightPointsCartoon(lights, points, lit);
    else
        LightPoints(lights, points, lit);
    for (int k = 0; k < points.count; ++k)
        FrameBuffer::Blend(*pixels[k], BlendedColor(k));
    points.count = 0;
}

Color LightQueue::BlendedColor(int k) const
{
    return textured ? lit[k] * texels[k] : lit[k];
}

template <bool kByVertexColor>
void LitFragmentsOf<kByVertexColor>::FinishWithColor(PipelineVertex& record)
{
    // A written fragment waits in the queue: its colour is the one it is
    // blended with. One that is not written is lit alone, as the queue would
    // (by the interpolated colour the record holds, for vertex colours).
    if (queue.Waiting() == 1) {
        queue.LightAndBlend();
        record.color = queue.BlendedColor(0);
        return;
    }
    const Color lit =
        kByVertexColor
            ? LightPoint(setup.lights, record.position, record.normal, record.color, setup.cartoon)
            : LightPoint(setup.lights, record.position, record.normal, setup.cartoon);
    const Vector4& st = record.texCoord;
    record.color = texture != nullptr ? lit * texture->Sample(st.x, st.y) : lit;
}

template class LitFragmentsOf<false>;
template class LitFragmentsOf<true>;
