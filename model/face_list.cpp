#include "model/face_list.h"

#include "model/vertex_array.h"

void FaceList::Resize(int32_t n)
{
    ClearFaces();
    count = n > 0 ? n : 0;
    records.resize(static_cast<std::size_t>(count));
}

void FaceList::SetFace(int32_t index, int32_t cornerCount, const int32_t* indices)
{
    if (records.empty() || index < 0 || index >= count) return;
    Face& face = records[index];
    face.cornerCount = cornerCount > 0 ? cornerCount : 0;
    face.indices.assign(indices, indices + face.cornerCount);
}

void FaceList::ClearFaces()
{
    records.clear();
    records.shrink_to_fit();
    count = 0;
}

namespace {

Vector3 CornerPosition(const VertexArray& vertices, int32_t index)
{
    float p[3];
    vertices.GetAttribute(p, ATTRIB_POSITION, index);
    return {p[0], p[1], p[2]};
}

}  // namespace

void FaceList::ComputeFaceNormals(const VertexArray& vertices)
{
    for (Face& face : records) {
        face.normal = Vector3(0.0f, 0.0f, 0.0f);
        if (face.cornerCount < 3) continue;
        bool inRange = true;
        for (int c = 0; c < 3; ++c)
            inRange = inRange && face.indices[c] >= 0 && face.indices[c] < vertices.count;
        if (!inRange) continue;
        const Vector3 p0 = CornerPosition(vertices, face.indices[0]);
        const Vector3 p1 = CornerPosition(vertices, face.indices[1]);
        const Vector3 p2 = CornerPosition(vertices, face.indices[2]);
        face.normal = (p2 - p1).Cross(p0 - p1);
        face.normal.Normalize();
    }
}
