#include <cstring>

#include "model/face_list.h"
#include "model/vertex_array.h"
#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace {

// Reads a vertex's attributes straight from the interleaved store, with the
// offsets of the attributes in the mask worked out once per draw. Attributes
// outside the mask leave the corner as it was (its defaults, or what the
// previous face left there).
class CornerFetch {
public:
    CornerFetch(const VertexArray& vertices, int32_t attribMask)
        : data(vertices.data.data()), stride(vertices.stride)
    {
        const int32_t bits[4] = {ATTRIB_POSITION, ATTRIB_NORMAL, ATTRIB_TEXCOORD, ATTRIB_COLOR};
        for (int i = 0; i < 4; ++i)
            offset[i] = (attribMask & bits[i] & vertices.attributeMask)
                            ? vertices.AttributeOffset(bits[i])
                            : -1;
    }

    void operator()(int32_t index, PipelineVertex& corner) const
    {
        const uint8_t* vertex = data + static_cast<std::size_t>(index) * stride;
        float v[3];
        if (offset[0] >= 0) {
            std::memcpy(v, vertex + offset[0], sizeof v);
            corner.position = Vector4(v[0], v[1], v[2], 1.0f);
        }
        if (offset[1] >= 0) {
            std::memcpy(v, vertex + offset[1], sizeof v);
            corner.normal = Vector3(v[0], v[1], v[2]);
        }
        if (offset[2] >= 0) {
            std::memcpy(v, vertex + offset[2], 2 * sizeof(float));
            corner.texCoord = Vector4(v[0], v[1], 0.0f, 1.0f);
        }
        if (offset[3] >= 0) {
            uint32_t argb;
            std::memcpy(&argb, vertex + offset[3], sizeof argb);
            corner.color.SetARGB(argb);
        }
    }

private:
    const uint8_t* data;
    int32_t stride;
    int32_t offset[4];  // position, normal, texture coordinate, colour; -1 when not fetched
};

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
    const CornerFetch fetch(*vertexArray, attribMask);
    // A corner's transformed position, normal and lit colour are functions of
    // its vertex only when every corner brings its own position and normal.
    const int32_t geometry = ATTRIB_POSITION | ATTRIB_NORMAL;
    if ((attribMask & geometry) == geometry) {
        cornerCache.Begin(vertexArray->count);
        rasterizer.cornerCache = &cornerCache;
    }
    for (int32_t f = 0; f < faceList->count; ++f) {
        const Face& face = faceList->records[f];
        // Faces of fewer than three corners are not drawn; larger ones are
        // drawn as a fan (0, i, i + 1) sharing the face's normal.
        if (face.cornerCount < 3 || !IndicesInRange(face, vertexArray->count)) continue;
        fetch(face.indices[0], corners[0]);
        rasterizer.cornerVertex[0] = face.indices[0];
        for (int32_t i = 1; i + 1 < face.cornerCount; ++i) {
            fetch(face.indices[i], corners[1]);
            fetch(face.indices[i + 1], corners[2]);
            rasterizer.cornerVertex[1] = face.indices[i];
            rasterizer.cornerVertex[2] = face.indices[i + 1];
            rasterizer.LoadTriangle(corners, faceList->GetFaceNormal(f), material);
            rasterizer.DrawTriangle();
        }
    }
}

void TriangleRasterizer::LoadTriangle(const PipelineVertex corners[3], Vector3 normal,
                                      const Material& faceMaterial)
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
