#pragma once

#include "lighting/color.h"
#include "lighting/material.h"
#include "math/vector4.h"
#include "pipeline/pipeline_vertex.h"
#include "pipeline/scan_conversion.h"

class RenderContext;
struct DrawSetup;
struct FaceInWorld;

// Index of the next edge-list entry WalkEdge writes. Process-wide: the two
// chain walks of a triangle share it, and the long walk resets it before and
// after, so every triangle starts at 0. A whole draw's walks keep their
// cursor to themselves and leave it alone.
extern int edgeCursor;

// The pipeline's operations on one triangle, one at a time: each opens a draw
// of its own, which gathers the set-up from the context and this rasterizer's
// material, runs the stages a whole draw runs, and finishes (writes whatever
// waits for its lighting) before it returns. Its first fields are the scan
// conversion's edge lists (EdgeLists).
class TriangleRasterizer : public EdgeLists {
public:
    PipelineVertex vertices[3];
    Vector3 faceNormal;
    Material material;
    Vector4 centroid;

    explicit TriangleRasterizer(RenderContext& context) : context(context) {}

    void LoadTriangle(const PipelineVertex corners[3], const Vector3& faceNormal,
                      const Material& material);

    // Triangle stage.
    void DrawTriangle();
    void RasterizeTriangle();

    // Scan conversion.
    void PrepareEdges();
    void WalkEdge(PipelineVertex& a, PipelineVertex& b, int list);
    void FillSpans();

    // Fragment stage: interpolates a..b at t, lights, textures and writes pixel (x, y).
    void ShadeFragment(const PipelineVertex& a, const PipelineVertex& b, int x, int y, float t,
                       Vector4* outPosition, Vector3* outNormal, Color* outColor,
                       Vector4* outTexCoord);

    // Lighting equations: overwrite vertex.color from its world position and
    // normal (and, lit by vertex colours, from its colour).
    void ComputeLighting(PipelineVertex& vertex) const;
    void ComputeCartoonLighting(PipelineVertex& vertex) const;

private:
    RenderContext& context;

    // RasterizeTriangle's steps; under flat shading `litFace` is the face
    // whose lit colour the corners take.
    void Rasterize(const DrawSetup& setup, const FaceInWorld* litFace);
    Color LightVertex(const PipelineVertex& vertex, bool cartoon) const;
};
