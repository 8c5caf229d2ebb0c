#include <algorithm>

#include "model/ply_normals.h"
#include "model/ply_vector.h"

bool NormalsPointOutward(const std::vector<PlyVertex>& vertices)
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
    return d.Dot(ToVector3(vertices[far].normal)) > 0.0f;
}

void InvertVertexNormals(std::vector<PlyVertex>& vertices)
{
    for (PlyVertex& vertex : vertices)
        for (float& c : vertex.normal)
            c = -c;
}

void CheckFirstFace(const std::vector<PlyVertex>& vertices, std::vector<PlyFace>& faces)
{
    if (faces.empty()) return;
    const PlyFace& first = faces[0];
    const Vector3 faceNormal = ToVector3(first.normal);
    int agreeing = 0;
    for (int32_t index : first.indices)
        if (ToVector3(vertices[index].normal).Dot(faceNormal) > 0.0f) ++agreeing;
    if (agreeing == 0) FlipFaces(faces);
}

void FlipFaces(std::vector<PlyFace>& faces)
{
    for (PlyFace& face : faces) {
        for (float& c : face.normal)
            c = -c;
        std::reverse(face.indices.begin(), face.indices.end());
    }
}

// Computed normals follow the corner order, so when they point inward the
// faces are wound inward too and both turn. File normals that point inward are
// turned, and face 0 then decides whether the corner order turns with them;
// file normals that point outward leave everything as read.
void OrientPly(PlyMesh& mesh, bool fileNormals)
{
    const bool outward = NormalsPointOutward(mesh.vertices);
    if (!outward) InvertVertexNormals(mesh.vertices);
    if (!fileNormals && !outward)
        FlipFaces(mesh.faces);
    else if (!fileNormals || !outward)
        CheckFirstFace(mesh.vertices, mesh.faces);
}
