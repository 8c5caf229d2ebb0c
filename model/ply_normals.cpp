#include "model/ply_normals.h"

#include "model/ply_vector.h"

namespace {

// The cross product of a face's corners 0, 1 and 2; false for a face with
// fewer corners.
bool FaceCross(const PlyMesh& mesh, int32_t f, Vector3& cross)
{
    const Face face = mesh.faces.records[f];
    if (face.cornerCount < 3) return false;
    const Vector3 p0 = LoadVector3(mesh.Vertex(face.indices[0]) + MeshLayout::kPosition);
    const Vector3 p1 = LoadVector3(mesh.Vertex(face.indices[1]) + MeshLayout::kPosition);
    const Vector3 p2 = LoadVector3(mesh.Vertex(face.indices[2]) + MeshLayout::kPosition);
    cross = (p2 - p1).Cross(p0 - p1);
    return true;
}

// The face's unit normal joins the sums of its corners' vertices.
void AddToCornerSums(PlyMesh& mesh, int32_t f, const Vector3& n)
{
    for (int32_t index : mesh.faces.records[f].indices) {
        uint8_t* sum = mesh.Vertex(index) + MeshLayout::kNormal;
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
    Vector3 cross(0.0f, 0.0f, 0.0f);
    return FaceCross(mesh, f, cross) ? ScaledToUnit(cross) : cross;
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
    for (int32_t f = 0; f < mesh.faces.count; ++f) {
        Vector3 n(0.0f, 0.0f, 0.0f);
        if (!FaceCross(mesh, f, n)) continue;
        const float length = n.Length();
        if (length > 0.0f) {
            n = n * (1.0f / length);
            mesh.faces.SetFaceNormal(f, n);
        } else {
            Vector3 normalized = n;
            normalized.Normalize();
            mesh.faces.SetFaceNormal(f, normalized);
        }
        if (computeVertexNormals) AddToCornerSums(mesh, f, n);
    }
    if (computeVertexNormals)
        for (std::size_t i = 0; i < mesh.VertexCount(); ++i) {
            uint8_t* normal = mesh.Vertex(i) + MeshLayout::kNormal;
            StoreVector3(ScaledToUnit(LoadVector3(normal)), normal);
        }
}
