#include "model/ply_normals.h"

#include "model/ply_vector.h"

namespace {

// The vertex bytes are read and written through a pointer of their own: as
// bytes they might alias the mesh's own fields, which the compiler would
// then load again after every store.
uint8_t* VertexAt(uint8_t* vertices, int32_t index)
{
    return vertices + static_cast<std::size_t>(index) * MeshLayout::kStride;
}

// The cross product of a face's corners 0, 1 and 2; the face has three corners at least.
inline Vector3 FaceCross(uint8_t* vertices, const CornerIndices& corners)
{
    const Vector3 p0 = LoadVector3(VertexAt(vertices, corners[0]) + MeshLayout::kPosition);
    const Vector3 p1 = LoadVector3(VertexAt(vertices, corners[1]) + MeshLayout::kPosition);
    const Vector3 p2 = LoadVector3(VertexAt(vertices, corners[2]) + MeshLayout::kPosition);
    return (p2 - p1).Cross(p0 - p1);
}

// The face's unit normal joins the sums of its corners' vertices.
void AddToCornerSums(uint8_t* vertices, const CornerIndices& corners, const Vector3& n)
{
    for (int32_t index : corners) {
        uint8_t* sum = VertexAt(vertices, index) + MeshLayout::kNormal;
        StoreVector3(LoadVector3(sum) + n, sum);
    }
}

void SetVertexNormals(PlyMesh& mesh, const Vector3& n)
{
    for (std::size_t i = 0; i < mesh.VertexCount(); ++i)
        StoreVector3(n, mesh.Vertex(i) + MeshLayout::kNormal);
}

}  // namespace

Vector3 PlyFaceNormal(const PlyMesh& mesh, int32_t f)
{
    const CornerIndices corners = mesh.faces.records[f].indices;
    if (corners.size() < 3) return {0.0f, 0.0f, 0.0f};
    // Only read through the pointer.
    return ScaledToUnit(FaceCross(const_cast<uint8_t*>(mesh.Vertex(0)), corners));
}

// Vertex normals: the unweighted sum of the unit normals of the faces, one
// term per corner, then normalised. Each face joins the sums as soon as its
// normal is known, so the faces are walked once; every sum still takes its
// terms in face order. The face list keeps each face's normal as it would
// compute it, which differs from the face's own only where its length is
// zero or not a number.
void ComputePlyNormals(PlyMesh& mesh, bool computeVertexNormals)
{
    if (computeVertexNormals) SetVertexNormals(mesh, {0.0f, 0.0f, 0.0f});
    uint8_t* const vertices = mesh.Vertex(0);
    for (int32_t f = 0; f < mesh.faces.count; ++f) {
        const CornerIndices corners = mesh.faces.records[f].indices;
        if (corners.size() < 3) continue;
        Vector3 n = FaceCross(vertices, corners);
        const float length = n.Length();
        if (length > 0.0f) {
            n = n * (1.0f / length);
            mesh.faces.SetFaceNormal(f, n);
        } else {
            Vector3 normalized = n;
            normalized.Normalize();
            mesh.faces.SetFaceNormal(f, normalized);
        }
        if (computeVertexNormals) AddToCornerSums(vertices, corners, n);
    }
    if (computeVertexNormals)
        for (std::size_t i = 0; i < mesh.VertexCount(); ++i) {
            uint8_t* normal = VertexAt(vertices, static_cast<int32_t>(i)) + MeshLayout::kNormal;
            StoreVector3(ScaledToUnit(LoadVector3(normal)), normal);
        }
}
