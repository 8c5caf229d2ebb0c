#include "pipeline/fragment_stage.h"

#include <cmath>

FragmentMode TriangleRasterizer::CurrentFragmentMode() const
{
    const RenderContext& c = context;
    FragmentMode mode;
    mode.lightPerPixel =
        c.IsEnabled(RC_LIGHTING) && (c.shadeModel == RC_PHONG || c.shadeModel == RC_CARTOON);
    mode.cartoon = c.shadeModel == RC_CARTOON;
    mode.texturing =
        c.IsEnabled(RC_TEXTURE_2D) && c.texture != nullptr && c.shadeModel != RC_GOURAUD;
    mode.replace = c.shadeModel == RC_REPLACE;
    mode.depthTest = c.IsEnabled(RC_DEPTH_TEST);
    return mode;
}

void TriangleRasterizer::ShadeFragment(const PipelineVertex& a, const PipelineVertex& b, int x,
                                       int y, float t, Vector4* outPosition, Vector3* outNormal,
                                       Color* outColor, Vector4* outTexCoord)
{
    const FragmentMode fragmentMode = CurrentFragmentMode();
    if (fragmentMode.lightPerPixel) {
        lighting = LightingSetup(context, material);
        fragmentT.assign(1, t);
        LightFragments(a, b, 1, fragmentMode.cartoon);
    }
    FragmentOutputs outputs;
    // Without per-pixel lighting litFragments may be empty: nothing is lit ahead.
    ShadeFragment<false>(fragmentMode, a, b, FragmentEnds(a, b, a.color != b.color),
                         context.frameBuffer.Find(x, y), t, &outputs,
                         fragmentMode.lightPerPixel ? litFragments.data() : nullptr);
    // Handed back whether or not the write took place; what no step computed
    // keeps its default.
    if (outNormal) *outNormal = outputs.normal;
    if (outPosition) *outPosition = outputs.position;
    if (outColor) *outColor = outputs.color;
    if (outTexCoord) *outTexCoord = outputs.texCoord;
}

void TriangleRasterizer::LightFragments(const PipelineVertex& a, const PipelineVertex& b, int count,
                                        bool cartoon)
{
    if (litFragments.size() < fragmentT.size()) litFragments.resize(fragmentT.size());
    for (int first = 0; first < count; first += PointBatch::kSize) {
        PointBatch p;
        p.count = count - first < PointBatch::kSize ? count - first : PointBatch::kSize;
        // Normal and position interpolated as (1 - t) a + t b; the normal then
        // normalised as Vector3::Normalize does (a zero vector stays zero).
        for (int k = 0; k < p.count; ++k) {
            const float t = fragmentT[first + k], s = 1.0f - t;
            const float nx = s * a.normal.x + t * b.normal.x;
            const float ny = s * a.normal.y + t * b.normal.y;
            const float nz = s * a.normal.z + t * b.normal.z;
            const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
            const float r = 1.0f / len;
            const float ux = nx * r, uy = ny * r, uz = nz * r;  // before the choice: no branches
            p.nx[k] = len == 0.0f ? 0.0f : ux;
            p.ny[k] = len == 0.0f ? 0.0f : uy;
            p.nz[k] = len == 0.0f ? 0.0f : uz;
            p.px[k] = s * a.position.x + t * b.position.x;
            p.py[k] = s * a.position.y + t * b.position.y;
            p.pz[k] = s * a.position.z + t * b.position.z;
        }
        if (cartoon)
            LightPointsCartoon(lighting, context, p, batchColors.data());
        else
            LightPoints(lighting, context, p, batchColors.data());
        for (int k = 0; k < p.count; ++k) {
            LitFragment& lit = litFragments[static_cast<std::size_t>(first + k)];
            lit.color = batchColors[static_cast<std::size_t>(k)];
            lit.normal[0] = p.nx[k];
            lit.normal[1] = p.ny[k];
            lit.normal[2] = p.nz[k];
            lit.position[0] = p.px[k];
            lit.position[1] = p.py[k];
            lit.position[2] = p.pz[k];
        }
    }
}
