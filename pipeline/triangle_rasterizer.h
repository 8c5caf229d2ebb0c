#pragma once

#include <vector>

#include "lighting/material.h"
#include "math/vector4.h"
#include "pipeline/pipeline_vertex.h"

class RenderContext;

// Index of the next edge-list entry to write. Process-wide: the two chain
// walks of a triangle share it, and the long walk resets it before and after,
// so every triangle starts at 0.
extern int edgeCursor;

// Whole window pixel of a coordinate: truncated toward zero, plus one.
float SnapCoordinate(double v);

// Draws one face at a time for the context it was made for: the triangle
// stage, scan conversion, the fragment stage and the lighting equations.
class TriangleRasterizer {
public:
    std::vector<PipelineVertex> chainEdges;  // the two edges through the middle corner
    std::vector<PipelineVertex> longEdges;   // the edge from top corner to bottom corner
    int edgeRows = 0;                        // entry k describes row (top row + 1 + k)
    PipelineVertex vertices[3];
    Vector3 faceNormal;
    Material material;
    Vector4 centroid;

    explicit TriangleRasterizer(RenderContext& context) : context(context) {}

    void LoadTriangle(const PipelineVertex corners[3], Vector3 faceNormal, Material material);

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

    // Lighting equations: overwrite vertex.color from its world position and normal.
    void ComputeLighting(PipelineVertex& vertex) const;
    void ComputeCartoonLighting(PipelineVertex& vertex) const;

private:
    RenderContext& context;

    bool InShadow(int slot, const Vector4& point) const;
};
