#include "model/ply_normals.h"

#include "model/ply_vector.h"

namespace {

Vector3 FaceNormal(const PlyMesh& mesh, const PlyFace& face)
{
    if (face.cornerCount < 3) return {0.0f, 0.0f, 0.0f};
    const int32_t* corner = mesh.Corners(face);
    const Vector3 p0 = ToVector3(mesh.vertices[corner[0]].position);
    const Vector3 p1 = ToVector3(mesh.vertices[corner[1]].position);
    const Vector3 p2 = ToVector3(mesh.vertices[corner[2]].position);
    return ScaledToUnit((p2 - p1).Cross(p0 - p1));
}

// The face's unit normal joins the sums of its corners' vertices.
void AddToCornerSums(PlyMesh& mesh, const PlyFace& face)
{
    const Vector3 n = ToVector3(face.normal);
    const int32_t* corner = mesh.Corners(face);
    for (int c = 0; c < face.cornerCount; ++c) {
        float* sum = mesh.vertices[corner[c]].normal;
        StoreVector3(ToVector3(sum) + n, sum);
    }
}

}  // namespace

// Vertex normals: the unweighted sum of the unit normals of the faces, one
// term per corner, then normalised. Each face joins the sums as soon as its
// normal is known, so the faces are walked once; every sum still takes its
// terms in face order.
void ComputePlyNormals(PlyMesh& mesh, bool computeVertexNormals)
{
    if (computeVertexNormals)
        for (PlyVertex& vertex : mesh.vertices)
            StoreVector3({0.0f, 0.0f, 0.0f}, vertex.normal);
    for (PlyFace& face : mesh.faces) {
        StoreVector3(FaceNormal(mesh, face), face.normal);
        if (computeVertexNormals) AddToCornerSums(mesh, face);
    }
    if (computeVertexNormals)
        for (PlyVertex& vertex : mesh.vertices)
            StoreVector3(ScaledToUnit(ToVector3(vertex.normal)), vertex.normal);
}
