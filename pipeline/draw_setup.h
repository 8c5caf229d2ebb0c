#pragma once

#include "lighting/lighting_setup.h"
#include "lighting/material.h"

class RenderContext;

// What the lighting equations read of the context for `material`: the eye,
// the enabled lights in slot order, and the shadow test's switch and bias.
LightingSetup GatherLighting(const RenderContext& context, const Material& material);
