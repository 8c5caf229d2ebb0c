#include <cmath>

#include "pipeline/texture_image.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

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

void TriangleRasterizer::ShadeFragment(const PipelineVertex& a, const PipelineVertex& b, int x,
                                       int y, float t, Vector4* outPosition, Vector3* outNormal,
                                       Color* outColor, Vector4* outTexCoord)
{
    const RenderContext& c = context;
    Vector4 position;
    Vector3 normal;
    Vector4 texCoord;
    Color color = a.color;
    if (a.color != b.color) color = Mix(a.color, b.color, t);
    const float z = (1.0f - t) * a.windowPos.z + t * b.windowPos.z;

    if (c.IsEnabled(RC_LIGHTING) && (c.shadeModel == RC_PHONG || c.shadeModel == RC_CARTOON)) {
        normal = Lerp(a.normal, b.normal, t);
        normal.Normalize();
        position = Lerp(a.position, b.position, t);
        PipelineVertex v;
        v.normal = normal;
        v.position = position;
        v.windowPos = Vector4(static_cast<float>(x), static_cast<float>(y), z, 1.0f);
        if (c.shadeModel == RC_PHONG)
            ComputeLighting(v);
        else
            ComputeCartoonLighting(v);
        color = v.color;
    }

    if (c.IsEnabled(RC_TEXTURE_2D) && c.texture != nullptr && c.shadeModel != RC_GOURAUD) {
        const float tp = PerspectiveParameter(t, a.windowPos.w, b.windowPos.w);
        texCoord = Lerp(a.texCoord, b.texCoord, tp);
        const Color texel = c.texture->Sample(texCoord.x, texCoord.y);
        color = c.shadeModel == RC_REPLACE ? texel : color * texel;
    }

    if (c.IsEnabled(RC_DEPTH_TEST))
        context.frameBuffer.WritePixelDepthTested(x, y, color, z);
    else
        context.frameBuffer.WritePixel(x, y, color);

    // Handed back whether or not the write took place.
    if (outNormal) *outNormal = normal;
    if (outPosition) *outPosition = position;
    if (outColor) *outColor = color;
    if (outTexCoord) *outTexCoord = texCoord;
}
