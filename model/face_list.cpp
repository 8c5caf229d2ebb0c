#include "model/face_list.h"

#include "model/vertex_array.h"

void FaceList::Resize(int32_t n)
{
    ClearFaces();
    count = n > 0 ? n : 0;
    records.resize(static_cast<std::size_t>(count));
    firstCorner.assign(static_cast<std::size_t>(count), 0);
}

void FaceList::ReserveCorners(std::size_t n)
{
    if (n <= corners.capacity()) return;
    corners.reserve(n);
    ViewCorners();
}

void FaceList::SetFace(int32_t index, int32_t cornerCount, const int32_t* indices)
{
    if (records.empty() || index < 0 || index >= count) return;
    const int32_t n = cornerCount > 0 ? cornerCount : 0;
    // The face's new indices go to the end of the store; growing the store
    // moves it, and every face's view follows.
    if (corners.size() + static_cast<std::size_t>(n) > corners.capacity())
        ReserveCorners(2 * corners.size() + static_cast<std::size_t>(n));
    firstCorner[index] = corners.size();
    corners.insert(corners.end(), indices, indices + n);
    Face& face = records[index];
    face.cornerCount = n;
    face.indices = CornerIndices(corners.data() + firstCorner[index], n);
}

void FaceList::ClearFaces()
{
    records.clear();
    records.shrink_to_fit();
    corners = std::vector<int32_t>();
    firstCorner = std::vector<std::size_t>();
    count = 0;
}

void FaceList::ViewCorners()
{
    for (std::size_t f = 0; f < records.size(); ++f)
        records[f].indices = CornerIndices(corners.data() + firstCorner[f], records[f].cornerCount);
}

namespace {

Vector3 CornerPosition(const VertexArray& vertices, int32_t index)
{
    float p[3] = {};
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
