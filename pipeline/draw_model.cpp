#include "model/face_list.h"
#include "model/vertex_array.h"
#include "pipeline/draw_setup.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace {

bool IndicesInRange(const Face& face, int32_t vertexCount)
{
    // One unsigned comparison: a negative index wraps above any count.
    for (int32_t index : face.indices)
        if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(vertexCount)) return false;
    return true;
}

// The corners' mean, summed from the origin in corner order.
Vector4 Centroid(const Vector4& a, const Vector4& b, const Vector4& c)
{
    return (Vector4() + a + b + c) / 3.0f;
}

}  // namespace

void RenderContext::DrawModel()
{
    TriangleRasterizer rasterizer(*this);
    PipelineVertex corners[3];
    // Without vertices no index is in range, and nothing is drawn.
    if (faceList == nullptr || vertexArray == nullptr || vertexArray->count <= 0) return;
    const CornerFetch fetch(*vertexArray, attribMask);
    // When every corner brings all its attributes, a corner is a function of
    // its vertex alone, and corners shared by faces are worked on once.
    const bool cached = fetch.FetchesEverything();
    if (cached) {
        cornerCache.Begin(vertexArray->count);
        rasterizer.material = material;  // the same copy serves every face
        rasterizer.BeginDraw();
    }
    for (int32_t f = 0; f < faceList->count; ++f) {
        const Face& face = faceList->records[f];
        // Faces of fewer than three corners are not drawn; larger ones are
        // drawn as a fan (0, i, i + 1) sharing the face's normal.
        if (face.cornerCount < 3 || !IndicesInRange(face, vertexArray->count)) continue;
        for (int32_t i = 1; i + 1 < face.cornerCount; ++i) {
            const int32_t fan[3] = {face.indices[0], face.indices[i], face.indices[i + 1]};
            if (cached) {
                rasterizer.LoadTriangle(fan, faceList->GetFaceNormal(f), fetch, cornerCache);
            } else {
                for (int k = 0; k < 3; ++k)
                    fetch(fan[k], corners[k]);
                rasterizer.LoadTriangle(corners, faceList->GetFaceNormal(f), material);
            }
            rasterizer.DrawTriangle();
        }
    }
    rasterizer.EndDraw();
}

void TriangleRasterizer::LoadTriangle(const PipelineVertex corners[3], const Vector3& normal,
                                      const Material& faceMaterial)
{
    for (int k = 0; k < 3; ++k)
        vertices[k] = corners[k];
    faceNormal = normal;
    material = faceMaterial;
    cornerCache = nullptr;
    hasFaceColor = false;
    centroid = Centroid(corners[0].position, corners[1].position, corners[2].position);
}

void TriangleRasterizer::LoadTriangle(const int32_t vertex[3], const Vector3& normal,
                                      const CornerFetch& fetch, CornerCache& cache)
{
    faceNormal = normal;
    cornerFetch = &fetch;
    cornerCache = &cache;
    hasFaceColor = false;
    for (int k = 0; k < 3; ++k)
        cornerVertex[k] = vertex[k];
    centroid =
        Centroid(fetch.Position(vertex[0]), fetch.Position(vertex[1]), fetch.Position(vertex[2]));
}

void TriangleRasterizer::BeginDraw()
{
    lighting = GatherLighting(context, material);
    mode = CurrentFragmentMode();
    matrices = DrawMatrices(context);
    drawSetUp = true;
}

DrawMatrices::DrawMatrices(const RenderContext& context)
    : model(context.modelMatrix),
      modelViewProjection(context.modelViewProjectionMatrix),
      viewport(context.viewportMatrix)
{
}
