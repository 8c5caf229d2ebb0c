#pragma once

#include <cstdint>

#include "lighting/lighting_setup.h"
#include "lighting/material.h"
#include "math/matrix4.h"
#include "math/vector4.h"

class FrameBuffer;
class RenderContext;
class TextureImage;

// Where the colour a corner brings to scan conversion comes from.
enum class CornerColour : uint8_t {
    kFetched,    // the vertex colour: lighting is off, or lights elsewhere or nowhere
    kFaceLit,    // flat: the face, lit once at its centre, colours all three corners
    kCornerLit,  // Gouraud: each corner lit at its own position and normal
};

// What a fragment's colour is made of.
enum class FragmentKind : uint8_t {
    kInterpolated,      // the ends' colours interpolated
    kTextured,          // the interpolated colour, with the texel applied
    kLitPerPixel,       // lit at the fragment (Phong, cartoon); textured when texturing
    kLitByVertexColor,  // lit at the fragment by its interpolated vertex colour; textured so too
};

// The most threads a draw runs on; a context asking for more gets these.
constexpr int kMaxDrawThreads = 256;

// Everything a draw reads of the context and the material, gathered once
// when the draw begins. Nothing writes it while the draw runs: every stage
// reads the same value, so that nothing is decided twice and parts of a draw
// could read one set-up side by side.
struct DrawSetup {
    DrawSetup(RenderContext& context, const Material& material);

    // Triangle stage.
    MatrixColumns model;
    MatrixColumns modelViewProjection;
    MatrixColumns viewport;
    Vector3 eye;
    float zNear;
    float zFar;
    bool cullFace;
    bool clockwise;  // frontFace RC_CW: every normal transformed is negated
    bool lighting;   // RC_LIGHTING: vertex normals are taken to world space
    bool normalize;  // RC_NORMALIZE with lighting: transformed normals are normalised
    CornerColour cornerColour;
    // Lighting takes the vertex colour in place of the material's diffuse
    // colour: a Gouraud corner's own, the mean of a flat face's corners (per
    // pixel, the fragment kind kLitByVertexColor).
    bool vertexColorLighting;
    bool fill;  // polygonMode RC_FILL: spans are filled between the edges
    // Fragment stage.
    FragmentKind fragmentKind;
    bool cartoon;  // per-pixel lighting by the cel equation
    bool replace;  // the texel replaces the colour instead of multiplying it
    bool depthTest;
    const TextureImage* texture;  // the bound texture when texturing applies, else null
    LightingSetup lights;
    FrameBuffer* frameBuffer;
    // The draw: on this many threads (1 .. kMaxDrawThreads), to the same frame.
    int threads;
};

// What the lighting equations read of the context for `material`: the eye,
// the enabled lights in slot order, and the shadow test's switch and bias.
LightingSetup GatherLighting(const RenderContext& context, const Material& material);
