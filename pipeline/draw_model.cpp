#include "model/face_list.h"
#include "model/vertex_array.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace {

// Fetches the attributes in `mask` of vertex `index` into `corner`; the others
// keep what the corner held before (its defaults, or the previous face's).
void FetchCorner(const VertexArray& vertices, int32_t mask, int32_t index, PipelineVertex& corner)
{
    float v[3];
    if (mask & ATTRIB_POSITION) {
        vertices.GetAttribute(v, ATTRIB_POSITION, index);
        corner.position = Vector4(v[0], v[1], v[2], 1.0f);
    }
    if (mask & ATTRIB_NORMAL) {
        vertices.GetAttribute(v, ATTRIB_NORMAL, index);
        corner.normal = Vector3(v[0], v[1], v[2]);
    }
    if (mask & ATTRIB_TEXCOORD) {
        vertices.GetAttribute(v, ATTRIB_TEXCOORD, index);
        corner.texCoord = Vector4(v[0], v[1], 0.0f, 1.0f);
    }
    if (mask & ATTRIB_COLOR) {
        uint32_t argb = 0;
        vertices.GetAttribute(&argb, ATTRIB_COLOR, index);
        corner.color.SetARGB(argb);
    }
}

bool IndicesInRange(const Face& face, int32_t vertexCount)
{
    for (int32_t index : face.indices)
        if (index < 0 || index >= vertexCount) return false;
    return true;
}

}  // namespace

void RenderContext::DrawModel()
{
    TriangleRasterizer rasterizer(*this);
    PipelineVertex corners[3];
    if (faceList == nullptr || vertexArray == nullptr) return;
    for (int32_t f = 0; f < faceList->count; ++f) {
        const Face& face = faceList->records[f];
        // Faces of fewer than three corners are not drawn; larger ones are
        // drawn as a fan (0, i, i + 1) sharing the face's normal.
        if (face.cornerCount < 3 || !IndicesInRange(face, vertexArray->count)) continue;
        FetchCorner(*vertexArray, attribMask, face.indices[0], corners[0]);
        for (int32_t i = 1; i + 1 < face.cornerCount; ++i) {
            FetchCorner(*vertexArray, attribMask, face.indices[i], corners[1]);
            FetchCorner(*vertexArray, attribMask, face.indices[i + 1], corners[2]);
            rasterizer.LoadTriangle(corners, faceList->GetFaceNormal(f), material);
            rasterizer.DrawTriangle();
        }
    }
}

void TriangleRasterizer::LoadTriangle(const PipelineVertex corners[3], Vector3 normal,
                                      Material faceMaterial)
{
    for (int k = 0; k < 3; ++k)
        vertices[k] = corners[k];
    faceNormal = normal;
    material = faceMaterial;
    centroid = Vector4();
    for (int k = 0; k < 3; ++k)
        centroid = centroid + corners[k].position;
    centroid = centroid / 3.0f;
}
