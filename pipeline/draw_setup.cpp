#include "pipeline/draw_setup.h"

#include <algorithm>

#include "render/render_context.h"

namespace {

CornerColour CornerColourOf(const RenderContext& c)
{
    if (!c.IsEnabled(RC_LIGHTING)) return CornerColour::kFetched;
    if (c.shadeModel == RC_FLAT) return CornerColour::kFaceLit;
    if (c.shadeModel == RC_GOURAUD) return CornerColour::kCornerLit;
    return CornerColour::kFetched;
}

// Texturing never applies under Gouraud.
bool Texturing(const RenderContext& c)
{
    return c.IsEnabled(RC_TEXTURE_2D) && c.texture != nullptr && c.shadeModel != RC_GOURAUD;
}

FragmentKind FragmentKindOf(const RenderContext& c)
{
    const bool perPixel = c.shadeModel == RC_PHONG || c.shadeModel == RC_CARTOON;
    if (c.IsEnabled(RC_LIGHTING) && perPixel)
        return c.vertexColorLighting ? FragmentKind::kLitByVertexColor : FragmentKind::kLitPerPixel;
    return Texturing(c) ? FragmentKind::kTextured : FragmentKind::kInterpolated;
}

}  // namespace

DrawSetup::DrawSetup(RenderContext& c, const Material& material)
    : model(c.modelMatrix),
      modelViewProjection(c.modelViewProjectionMatrix),
      viewport(c.viewportMatrix),
      eye(c.camera.eye),
      zNear(c.camera.zNear),
      zFar(c.camera.zFar),
      cullFace(c.IsEnabled(RC_CULL_FACE)),
      clockwise(c.frontFace == RC_CW),
      lighting(c.IsEnabled(RC_LIGHTING)),
      normalize(lighting && c.IsEnabled(RC_NORMALIZE)),
      cornerColour(CornerColourOf(c)),
      vertexColorLighting(c.vertexColorLighting),
      fill(c.polygonMode == RC_FILL),
      fragmentKind(FragmentKindOf(c)),
      cartoon(c.shadeModel == RC_CARTOON),
      replace(c.shadeModel == RC_REPLACE),
      depthTest(c.IsEnabled(RC_DEPTH_TEST)),
      texture(Texturing(c) ? c.texture : nullptr),
      lights(GatherLighting(c, material)),
      frameBuffer(&c.frameBuffer),
      threads(std::clamp(c.drawThreads, 1, kMaxDrawThreads))
{
}

LightingSetup GatherLighting(const RenderContext& context, const Material& material)
{
    LightingSetup lighting(material, context.camera.GetEye(), context.IsEnabled(RC_SHADOW),
                           context.shadowBias);
    for (const LightSlot& slot : context.lights)
        if (slot.enabled) lighting.AddLight(slot.light);
    return lighting;
}
