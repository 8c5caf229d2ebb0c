#pragma once

#include "lighting/color.h"
#include "lighting/light.h"
#include "lighting/material.h"
#include "math/vector4.h"

// Everything the lighting equations read, gathered once to light many points
// alike: the material, the eye, the enabled lights and the shadow test's
// switch and bias. A draw gathers it once, from its context and material.
struct LightingSetup {
    struct Source {
        const Light* light = nullptr;
        Color diffuse;            // material diffuse x light diffuse
        Color specular;           // material specular x light specular
        bool attenuates = false;  // all three attenuation coefficients non-zero
    };
    Source sources[9];  // the enabled lights, in slot order
    int sourceCount = 0;
    bool shadows = false;     // RC_SHADOW: each light's shadow test applies
    float shadowBias = 0.0f;  // added to the light's stored depth in the shadow test
    Vector3 eye;
    Color base;  // material emission + ambient, added once
    Color materialEmission;
    Color materialAmbient;
    Color materialDiffuse;
    Color materialSpecular;
    float shininess = 0.0f;
    float alpha = 1.0f;  // the result's alpha: the material diffuse alpha, at most 1

    LightingSetup() = default;
    LightingSetup(const Material& material, const Vector3& eye, bool shadows, float shadowBias);
    // The next enabled light, in slot order. The light is not copied: it must
    // outlive the set-up.
    void AddLight(const Light& light);
};

// Points lit together, as a structure of arrays. Each point goes through the
// same arithmetic as on its own; the layout lets the compiler work on
// several points per instruction, which per-pixel lighting relies on. Only
// the first `count` points are read.
struct PointBatch {
    static constexpr int kSize = 32;
    int count = 0;
    float px[kSize], py[kSize], pz[kSize];  // world position
    float nx[kSize], ny[kSize], nz[kSize];  // normal, used as given
};

// The vertex colours of a batch's points (red, green, blue), for lighting by
// vertex colours. Only the first `count` points are read.
struct PointColors {
    float r[PointBatch::kSize], g[PointBatch::kSize], b[PointBatch::kSize];
};

// The standard equation: emission and ambient, then per light Lambert diffuse
// and reflection-vector specular, attenuated with distance. Fills
// colors[0 .. count - 1].
void LightPoints(const LightingSetup& setup, const PointBatch& points, Color* colors);
// The cel equation: two diffuse bands, an all-or-nothing highlight, and a dark
// outline where the surface turns away from the viewer.
void LightPointsCartoon(const LightingSetup& setup, const PointBatch& points, Color* colors);

// Lit by vertex colours: each point's own colour C takes the place of the
// material's diffuse colour Md in either equation, and the material's ambient
// colour Ma lights it as an ambient light would, Me + Ma x C in place of
// Me + Ma (Ma alone, added unscaled, would wash the colours out). Specular,
// emission and the result's alpha (Md's) stay the material's.
void LightPoints(const LightingSetup& setup, const PointBatch& points,
                 const PointColors& vertexColors, Color* colors);
void LightPointsCartoon(const LightingSetup& setup, const PointBatch& points,
                        const PointColors& vertexColors, Color* colors);

// A batch lit with lanes of `width`: 4 (SSE2, every x86-64) or 8 (AVX2, only
// where the processor has it; the batch functions above use the widest
// there is), by the cel equation when `cartoon`, by vertexColors when not
// null. False, with nothing lit, for a width this build or processor lacks.
// For tests.
bool LightPointsWithLanes(int width, const LightingSetup& setup, const PointBatch& points,
                          const PointColors* vertexColors, bool cartoon, Color* colors);

// One point, lit by either equation.
Color LightPoint(const LightingSetup& setup, const Vector4& position, const Vector3& normal,
                 bool cartoon);
// One point, lit by either equation with its vertex colour.
Color LightPoint(const LightingSetup& setup, const Vector4& position, const Vector3& normal,
                 const Color& vertexColor, bool cartoon);
