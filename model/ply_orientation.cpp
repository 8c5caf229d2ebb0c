#include <algorithm>

#include "model/ply_normals.h"
#include "model/ply_orientation.h"
#include "model/ply_vector.h"

float OutwardOffset(const PlyMesh& mesh)
{
    const std::size_t n = mesh.VertexCount();
    Vector3 sum(0.0f, 0.0f, 0.0f);
    for (std::size_t i = 0; i < n; ++i)
        sum = sum + LoadVector3(mesh.Vertex(i) + MeshLayout::kPosition);
    const Vector3 center = sum * (1.0f / static_cast<float>(n));
    // The farthest vertex lies on the outer hull, where outward means away from
    // the centre; the first of equally far vertices wins.
    std::size_t far = 0;
    float farthest = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        const Vector3 d = LoadVector3(mesh.Vertex(i) + MeshLayout::kPosition) - center;
        const float distance = d.Dot(d);
        if (distance > farthest) {
            farthest = distance;
            far = i;
        }
    }
    const Vector3 d = LoadVector3(mesh.Vertex(far) + MeshLayout::kPosition) - center;
    return d.Dot(LoadVector3(mesh.Vertex(far) + MeshLayout::kNormal));
}

bool NormalsPointOutward(const PlyMesh& mesh)
{
    return OutwardOffset(mesh) > 0.0f;
}

void InvertVertexNormals(PlyMesh& mesh)
{
    for (std::size_t i = 0; i < mesh.VertexCount(); ++i) {
        uint8_t* normal = mesh.Vertex(i) + MeshLayout::kNormal;
        const Vector3 n = LoadVector3(normal);
        StoreVector3({-n.x, -n.y, -n.z}, normal);
    }
}

void CheckFirstFace(PlyMesh& mesh)
{
    if (mesh.faces.count == 0) return;
    const Vector3 faceNormal = PlyFaceNormal(mesh, 0);
    int agreeing = 0;
    for (int32_t index : mesh.faces.records[0].indices)
        if (LoadVector3(mesh.Vertex(index) + MeshLayout::kNormal).Dot(faceNormal) > 0.0f)
            ++agreeing;
    if (agreeing == 0) FlipFaces(mesh);
}

// The face list's normal of a turned face is worked out again from its new
// corner order, as the face list would.
void FlipFaces(PlyMesh& mesh)
{
    for (int32_t f = 0; f < mesh.faces.count; ++f) {
        int32_t* corner = mesh.faces.Indices(f);
        std::reverse(corner, corner + mesh.faces.records[f].cornerCount);
        mesh.faces.ComputeFaceNormal(f, mesh.vertices);
    }
}

namespace {

// Computed normals follow the corner order, so when they point inward the
// faces are wound inward too and both turn. File normals that point inward are
// turned, and face 0 then decides whether the corner order turns with them;
// file normals that point outward leave everything as read.

void Orient(PlyMesh& mesh, bool fileNormals, bool outward)
{
    if (!outward) InvertVertexNormals(mesh);
    if (!fileNormals && !outward)
        FlipFaces(mesh);
    else if (!fileNormals || !outward)
        CheckFirstFace(mesh);
}

}  // namespace

void OrientPly(PlyMesh& mesh, bool fileNormals)
{
    Orient(mesh, fileNormals, NormalsPointOutward(mesh));
}

void OrientImportedPly(PlyMesh& mesh, bool fileNormals)
{
    const float offset = OutwardOffset(mesh);
    if (offset != 0.0f) Orient(mesh, fileNormals, offset > 0.0f);
}
