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

void TriangleRasterizer::InterpolateSurface(const PipelineVertex& a, const PipelineVertex& b,
                                            float t, float& nx, float& ny, float& nz, float& px,
                                            float& py, float& pz)
{
    const float s = 1.0f - t;
    const float x = s * a.normal.x + t * b.normal.x;
    const float y = s * a.normal.y + t * b.normal.y;
    const float z = s * a.normal.z + t * b.normal.z;
    const float len = std::sqrt(x * x + y * y + z * z);
    const float r = 1.0f / len;
    const float ux = x * r, uy = y * r, uz = z * r;  // before the choice: no branches
    nx = len == 0.0f ? 0.0f : ux;
    ny = len == 0.0f ? 0.0f : uy;
    nz = len == 0.0f ? 0.0f : uz;
    px = s * a.position.x + t * b.position.x;
    py = s * a.position.y + t * b.position.y;
    pz = s * a.position.z + t * b.position.z;
}

void TriangleRasterizer::LightFragments(const PipelineVertex& a, const PipelineVertex& b, int count,
                                        bool cartoon)
{
    if (litFragments.size() < fragmentT.size()) litFragments.resize(fragmentT.size());
    for (int first = 0; first < count; first += PointBatch::kSize) {
        PointBatch p;
        p.count = count - first < PointBatch::kSize ? count - first : PointBatch::kSize;
        for (int k = 0; k < p.count; ++k)
            InterpolateSurface(a, b, fragmentT[first + k], p.nx[k], p.ny[k], p.nz[k], p.px[k],
                               p.py[k], p.pz[k]);
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
