#include <algorithm>

#include "model/ply_orientation.h"
#include "model/ply_vector.h"

float OutwardOffset(const std::vector<PlyVertex>& vertices)
{
    Vector3 sum(0.0f, 0.0f, 0.0f);
    for (const PlyVertex& vertex : vertices)
        sum = sum + ToVector3(vertex.position);
    const Vector3 center = sum * (1.0f / static_cast<float>(vertices.size()));
    // The farthest vertex lies on the outer hull, where outward means away from
    // the centre; the first of equally far vertices wins.
    std::size_t far = 0;
    float farthest = 0.0f;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const Vector3 d = ToVector3(vertices[i].position) - center;
        const float distance = d.Dot(d);
        if (distance > farthest) {
            farthest = distance;
            far = i;
        }
    }
    const Vector3 d = ToVector3(vertices[far].position) - center;
    return d.Dot(ToVector3(vertices[far].normal));
}

bool NormalsPointOutward(const std::vector<PlyVertex>& vertices)
{
    return OutwardOffset(vertices) > 0.0f;
}

void InvertVertexNormals(std::vector<PlyVertex>& vertices)
{
    for (PlyVertex& vertex : vertices)
        for (float& c : vertex.normal)
            c = -c;
}

void CheckFirstFace(PlyMesh& mesh)
{
    if (mesh.faces.empty()) return;
    const PlyFace& first = mesh.faces[0];
    const Vector3 faceNormal = ToVector3(first.normal);
    const int32_t* corner = mesh.Corners(first);
    int agreeing = 0;
    for (int c = 0; c < first.cornerCount; ++c)
        if (ToVector3(mesh.vertices[corner[c]].normal).Dot(faceNormal) > 0.0f) ++agreeing;
    if (agreeing == 0) FlipFaces(mesh);
}

void FlipFaces(PlyMesh& mesh)
{
    mesh.facesFlipped = !mesh.facesFlipped;
    for (PlyFace& face : mesh.faces) {
        for (float& c : face.normal)
            c = -c;
        int32_t* corner = mesh.Corners(face);
        std::reverse(corner, corner + face.cornerCount);
    }
}

namespace {

// Computed normals follow the corner order, so when they point inward the
// faces are wound inward too and both turn. File normals that point inward are
// turned, and face 0 then decides whether the corner order turns with them;
// file normals that point outward leave everything as read.

void Orient(PlyMesh& mesh, bool fileNormals, bool outward)
{
    if (!outward) InvertVertexNormals(mesh.vertices);
    if (!fileNormals && !outward)
        FlipFaces(mesh);
    else if (!fileNormals || !outward)
        CheckFirstFace(mesh);
}

}  // namespace

void OrientPly(PlyMesh& mesh, bool fileNormals)
{
    Orient(mesh, fileNormals, NormalsPointOutward(mesh.vertices));
}

void OrientImportedPly(PlyMesh& mesh, bool fileNormals)
{
    const float offset = OutwardOffset(mesh.vertices);
    if (offset != 0.0f) Orient(mesh, fileNormals, offset > 0.0f);
}
