#include "pipeline/fragment_stage.h"

#include <cmath>

#include "pipeline/draw_setup.h"

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
    LightQueuedFragments();  // what waits was queued under the mode and lighting replaced here
    mode = CurrentFragmentMode();
    if (mode.lightPerPixel) lighting = GatherLighting(context, material);
    PipelineVertex outputs;  // what no step computes keeps its default
    ShadeFragment<false>(mode, a, b, FragmentEnds(a, b, a.color != b.color),
                         context.frameBuffer.Find(x, y), t, &outputs);
    LightQueuedFragments();
    // The queue lit the fragment only if it was written; its colour is
    // handed back either way.
    if (mode.lightPerPixel) {
        const Color lit = LightPoint(lighting, outputs.position, outputs.normal, mode.cartoon);
        const Vector4& st = outputs.texCoord;
        outputs.color =
            mode.texturing ? TexturedColor(mode, lit, context.texture->Sample(st.x, st.y)) : lit;
    }
    // Handed back whether or not the write took place; what no step computed
    // keeps its default.
    if (outNormal) *outNormal = outputs.normal;
    if (outPosition) *outPosition = outputs.position;
    if (outColor) *outColor = outputs.color;
    if (outTexCoord) *outTexCoord = outputs.texCoord;
}

void TriangleRasterizer::LightQueuedFragments()
{
    if (queued.count == 0) return;
    for (int k = 0; k < queued.count; ++k)
        NormalizeOrZero(queued.nx[k], queued.ny[k], queued.nz[k]);
    if (mode.cartoon)
        LightPointsCartoon(lighting, queued, batchColors.data());
    else
        LightPoints(lighting, queued, batchColors.data());
    for (int k = 0; k < queued.count; ++k) {
        const Color& lit = batchColors[static_cast<std::size_t>(k)];
        FrameBuffer::Blend(*queuedPixels[k],
                           mode.texturing ? TexturedColor(mode, lit, queuedTexels[k]) : lit);
    }
    queued.count = 0;
}
