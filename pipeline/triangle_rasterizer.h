#pragma once

#include <array>
#include <vector>

#include "lighting/lighting_setup.h"
#include "lighting/material.h"
#include "math/matrix4.h"
#include "math/vector4.h"
#include "pipeline/corner_cache.h"
#include "pipeline/pipeline_vertex.h"

class RenderContext;
struct Pixel;

// Index of the next edge-list entry to write. Process-wide: the two chain
// walks of a triangle share it, and the long walk resets it before and after,
// so every triangle starts at 0.
extern int edgeCursor;

// Whole window pixel of a coordinate: truncated toward zero, plus one.
float SnapCoordinate(double v);

// What the context asks of every fragment. Read once per edge walk or span:
// nothing changes the context while a triangle is drawn.
struct FragmentMode {
    bool lightPerPixel = false;  // RC_LIGHTING with RC_PHONG or RC_CARTOON
    bool cartoon = false;
    bool texturing = false;  // RC_TEXTURE_2D, a bound texture, and not RC_GOURAUD
    bool replace = false;
    bool depthTest = false;
};

// The context's matrices by columns, for the many corners and faces of a
// draw (gathered once per draw, or per triangle outside one).
struct DrawMatrices {
    DrawMatrices() = default;
    explicit DrawMatrices(const RenderContext& context);
    MatrixColumns model{Matrix4()};
    MatrixColumns modelViewProjection{Matrix4()};
    MatrixColumns viewport{Matrix4()};
};

// What a fragment reads of the two ends it is interpolated between, copied
// once per edge walk or span row: the frame-buffer writes of the pixel loop
// could alias the vertices, so the compiler would reload them for every pixel.
struct FragmentEnds {
    FragmentEnds(const PipelineVertex& a, const PipelineVertex& b, bool mixColors)
        : colorA(a.color),
          colorB(b.color),
          depthA(a.windowPos.z),
          depthB(b.windowPos.z),
          mixColors(mixColors)
    {
    }
    float Depth(float t) const { return (1.0f - t) * depthA + t * depthB; }
    // Colours that pack alike are not interpolated: the fragment keeps a's.
    Color ColorAt(float t) const { return mixColors ? Mix(colorA, colorB, t) : colorA; }

    Color colorA, colorB;
    float depthA, depthB;
    bool mixColors;  // the ends' colours pack differently
};

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

    void LoadTriangle(const PipelineVertex corners[3], const Vector3& faceNormal,
                      const Material& material);
    // DrawModel's way in when every corner is a function of its vertex: the
    // corners come from `cache` (fetched through `fetch` on first use), and
    // `material` was set once for the draw.
    void LoadTriangle(const int32_t vertex[3], const Vector3& faceNormal, const CornerFetch& fetch,
                      CornerCache& cache);
    // Called by DrawModel before its first face: what the lighting reads of
    // the context and the material, the fragment mode and the matrices are
    // gathered once for the whole draw.
    void BeginDraw();
    // Called by DrawModel after its last face: the fragments still waiting
    // for their lighting are lit and written.
    void EndDraw() { LightQueuedFragments(); }

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
    // Where the corners come from: the cache (with their vertices) or `vertices`.
    const CornerFetch* cornerFetch = nullptr;
    CornerCache* cornerCache = nullptr;
    int32_t cornerVertex[3] = {-1, -1, -1};
    // The corners of a triangle drawn without the cache; a member, so that
    // the cached path does not construct three per triangle.
    TransformedCorner directCorners[3];
    bool hasFaceColor = false;  // flat shading: every corner takes faceColor
    Color faceColor;
    // Read by the triangle's walks and spans.
    FragmentMode mode;
    LightingSetup lighting;  // what the lighting reads of the context and the material
    DrawMatrices matrices;
    bool drawSetUp = false;  // `lighting`, `mode` and `matrices` were gathered for the whole draw
    uint32_t cornerARGB[3] = {0, 0, 0};  // packed colours of the sorted corners
    bool cornerARGBKnown = false;        // set ahead of PrepareEdges by RasterizeTriangle
    // Written fragments waiting for per-pixel lighting, lit a batch at a
    // time (LightQueuedFragments) and blended into their pixels in the order
    // they were written. Nothing reads a pixel's colour during a draw, so the
    // frame buffer ends as if each were lit on the spot.
    PointBatch queued{};
    Pixel* queuedPixels[PointBatch::kSize] = {};
    Color queuedTexels[PointBatch::kSize];  // when texturing: what the lit colour is combined with
    // One batch's colours, kept here so that a batch constructs none.
    std::array<Color, PointBatch::kSize> batchColors;

    void TransformCorner(TransformedCorner& corner) const;
    void ShadeCorner(TransformedCorner& corner) const;
    bool HiddenByDepth(const TransformedCorner* const corners[3]) const;
    // ComputeLighting's colour, with the draw's lighting set-up when there is one.
    Color LitColor(const PipelineVertex& corner) const;
    uint32_t PackedColor(const PipelineVertex& v) const;
    FragmentMode CurrentFragmentMode() const;
    // ShadeFragment with the mode and the ends hoisted out of the pixel loop,
    // writing to `pixel` (null outside the frame buffer). `record` (optional,
    // and only without kColourOnly) receives what the mode works out of the
    // fragment: its texture coordinate when texturing, its normal and
    // position when lighting per pixel, its colour otherwise; its other
    // fields keep what they held. kColourOnly: the mode neither lights per
    // pixel nor textures, so the commonest loops drop those steps at compile
    // time, and work out a colour only for fragments that pass the depth test.
    template <bool kColourOnly>
    void ShadeFragment(const FragmentMode& mode, const PipelineVertex& a, const PipelineVertex& b,
                       const FragmentEnds& ends, Pixel* pixel, float t, PipelineVertex* record);
    // Lights the queued fragments and blends them into their pixels. Called
    // when the batch is full, and before anything may read the frame buffer:
    // at the end of a draw, or of each walk and span fill outside one.
    void LightQueuedFragments();
    // Normal and position of the fragment at t, interpolated as (1 - t) a +
    // t b; the normal is left for the caller to normalise.
    static void InterpolateSurface(const PipelineVertex& a, const PipelineVertex& b, float t,
                                   float normal[3], float position[3]);
    template <bool kColourOnly>
    void WalkEdgeFragments(PipelineVertex& a, PipelineVertex& b, int list);
    template <bool kColourOnly>
    void FillSpanFragments();
};
