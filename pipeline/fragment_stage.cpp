#include "pipeline/fragment_stage.h"

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
    if (fragmentMode.lightPerPixel) lighting = LightingSetup(context, material);
    FragmentOutputs outputs;
    ShadeFragment<false>(fragmentMode, a, b, a.color != b.color, x, y, t, &outputs);
    // Handed back whether or not the write took place; what no step computed
    // keeps its default.
    if (outNormal) *outNormal = outputs.normal;
    if (outPosition) *outPosition = outputs.position;
    if (outColor) *outColor = outputs.color;
    if (outTexCoord) *outTexCoord = outputs.texCoord;
}
