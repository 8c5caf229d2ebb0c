#include "pipeline/draw_setup.h"

#include "render/render_context.h"

LightingSetup GatherLighting(const RenderContext& context, const Material& material)
{
    LightingSetup lighting(material, context.camera.GetEye(), context.IsEnabled(RC_SHADOW),
                           context.shadowBias);
    for (const LightSlot& slot : context.lights)
        if (slot.enabled) lighting.AddLight(slot.light);
    return lighting;
}
