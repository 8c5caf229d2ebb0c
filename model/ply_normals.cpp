#include "model/ply_normals.h"

#include "model/ply_vector.h"

namespace {

Vector3 FaceNormal(const std::vector<PlyVertex>& vertices, const PlyFace& face)
{
    if (face.cornerCount < 3) return {0.0f, 0.0f, 0.0f};
    const Vector3 p0 = ToVector3(vertices[face.indices[0]].position);
    const Vector3 p1 = ToVector3(vertices[face.indices[1]].position);
    const Vector3 p2 = ToVector3(vertices[face.indices[2]].position);
    return ScaledToUnit((p2 - p1).Cross(p0 - p1));
}

// Unweighted sum of the unit normals of the faces, one term per corner, then normalised.
void ComputeVertexNormals(PlyMesh& mesh)
{
    for (PlyVertex& vertex : mesh.vertices)
        StoreVector3({0.0f, 0.0f, 0.0f}, vertex.normal);
    for (const PlyFace& face : mesh.faces) {
        const Vector3 n = ToVector3(face.normal);
        for (int32_t index : face.indices) {
            float* sum = mesh.vertices[index].normal;
            StoreVector3(ToVector3(sum) + n, sum);
        }
    }
    for (PlyVertex& vertex : mesh.vertices)
        StoreVector3(ScaledToUnit(ToVector3(vertex.normal)), vertex.normal);
}

}  // namespace

void ComputePlyNormals(PlyMesh& mesh, bool computeVertexNormals)
{
    for (PlyFace& face : mesh.faces)
        StoreVector3(FaceNormal(mesh.vertices, face), face.normal);
    if (computeVertexNormals) ComputeVertexNormals(mesh);
}
