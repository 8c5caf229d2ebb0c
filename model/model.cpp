#include "model/model.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "model/fatal_error.h"
#include "model/ply_reader.h"

namespace {

constexpr int32_t kAllAttributes = ATTRIB_POSITION | ATTRIB_NORMAL | ATTRIB_COLOR | ATTRIB_TEXCOORD;
constexpr int32_t kStride = 36;

uint32_t PackedColor(const PlyVertex& vertex)
{
    return Color(vertex.color[0], vertex.color[1], vertex.color[2], 1.0f).ToARGB();
}

// Every vertex has the same layout: the offsets are found once, and each
// vertex's bytes are written in place.
void StoreVertices(const std::vector<PlyVertex>& plyVertices, VertexArray& vertices)
{
    vertices.Configure(nullptr, kAllAttributes, kStride, static_cast<int32_t>(plyVertices.size()));
    const int32_t position = vertices.AttributeOffset(ATTRIB_POSITION);
    const int32_t normal = vertices.AttributeOffset(ATTRIB_NORMAL);
    const int32_t texCoord = vertices.AttributeOffset(ATTRIB_TEXCOORD);
    const int32_t color = vertices.AttributeOffset(ATTRIB_COLOR);
    uint8_t* out = vertices.data.data();
    for (const PlyVertex& vertex : plyVertices) {
        const uint32_t packed = PackedColor(vertex);
        std::memcpy(out + position, vertex.position, sizeof vertex.position);
        std::memcpy(out + normal, vertex.normal, sizeof vertex.normal);
        std::memcpy(out + texCoord, vertex.texCoord, sizeof vertex.texCoord);
        std::memcpy(out + color, &packed, sizeof packed);
        out += kStride;
    }
}

// The reader's face normal is the one the face list would compute when the
// faces were not turned since and the reader scaled it to unit length: only a
// zero or NaN length leaves it unscaled, with a squared length of zero or NaN.
const float* ReaderNormal(const PlyFace& face, bool facesFlipped)
{
    const float* n = face.normal;
    return !facesFlipped && n[0] * n[0] + n[1] * n[1] + n[2] * n[2] > 0.0f ? n : nullptr;
}

// The mesh's corners are already stored face after face: the face list takes
// them over as its own store.
void StoreFaces(PlyMesh& mesh, const VertexArray& vertices, FaceList& faces)
{
    const std::vector<PlyFace>& plyFaces = mesh.faces;
    const bool flipped = mesh.facesFlipped;
    faces.Assign(
        static_cast<int32_t>(plyFaces.size()), std::move(mesh.corners),
        [&plyFaces, flipped](int32_t f) {
            return KnownFace{plyFaces[f].cornerCount, ReaderNormal(plyFaces[f], flipped)};
        },
        vertices);
}

}  // namespace

Model::Model(const std::string& name) : Model(name, ReadPly(name.c_str())) {}

Model::Model(const std::string& name, PlyMesh mesh) : fileName(name)
{
    // The reader refuses counts that cannot fit in memory, but memory can
    // still run out (other programs, a limit on the process): that ends the
    // load with the reader's message, not an abort.
    try {
        StoreVertices(mesh.vertices, vertices);
        mesh.vertices = std::vector<PlyVertex>();
        StoreFaces(mesh, vertices, faces);
    } catch (const std::bad_alloc&) {
        PlyFail(kOutOfMemory);
    }
    ComputeBounds();
}

void Model::ComputeBounds()
{
    center = Vector3(0.0f, 0.0f, 0.0f);
    halfExtent = 0.0f;
    if (vertices.count <= 0) return;
    float lo[3] = {};
    vertices.GetAttribute(lo, ATTRIB_POSITION, 0);
    float hi[3] = {lo[0], lo[1], lo[2]};
    for (int32_t i = 1; i < vertices.count; ++i) {
        float p[3] = {};
        vertices.GetAttribute(p, ATTRIB_POSITION, i);
        for (int axis = 0; axis < 3; ++axis) {
            if (p[axis] < lo[axis]) lo[axis] = p[axis];
            if (p[axis] > hi[axis]) hi[axis] = p[axis];
        }
    }
    center = Vector3(lo[0] + (hi[0] - lo[0]) * 0.5f, lo[1] + (hi[1] - lo[1]) * 0.5f,
                     lo[2] + (hi[2] - lo[2]) * 0.5f);
    halfExtent = std::max({hi[0] - center.x, hi[1] - center.y, hi[2] - center.z});
}
