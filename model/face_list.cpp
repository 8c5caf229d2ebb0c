#include "model/face_list.h"

#include <functional>

#include "model/vertex_array.h"

void FaceList::Resize(int32_t n)
{
    ClearFaces();
    count = n > 0 ? n : 0;
    records.resize(static_cast<std::size_t>(count));
}

// Growing the store moves it: every face that views the store views the same
// corners in the new block.
void FaceList::ReserveCorners(std::size_t n)
{
    if (n <= corners.capacity()) return;
    std::vector<int32_t> grown;
    grown.reserve(n);
    grown.assign(corners.begin(), corners.end());
    const int32_t* const begin = corners.data();
    const int32_t* const end = begin + corners.size();
    for (Face& face : records) {
        const int32_t* first = face.indices.begin();
        if (std::greater_equal<const int32_t*>()(first, begin) &&
            std::less_equal<const int32_t*>()(first, end))
            face.indices = CornerIndices(grown.data() + (first - begin), face.cornerCount);
    }
    corners = std::move(grown);
}

void FaceList::SetFace(int32_t index, int32_t cornerCount, const int32_t* indices)
{
    if (records.empty() || index < 0 || index >= count) return;
    const int32_t n = cornerCount > 0 ? cornerCount : 0;
    // The face's new indices go to the end of the store.
    if (corners.size() + static_cast<std::size_t>(n) > corners.capacity())
        ReserveCorners(2 * corners.size() + static_cast<std::size_t>(n));
    const std::size_t first = corners.size();
    corners.insert(corners.end(), indices, indices + n);
    Face& face = records[index];
    face.cornerCount = n;
    face.indices = CornerIndices(corners.data() + first, n);
}

void FaceList::ClearFaces()
{
    records.clear();
    records.shrink_to_fit();
    corners = std::vector<int32_t>();
    count = 0;
}

// The positions are fetched as plain floats: a Vector3 returned through
// memory would stall each load that reads it back.
void FaceList::SetNormal(Face& face, const VertexArray& vertices)
{
    face.normal = Vector3(0.0f, 0.0f, 0.0f);
    if (face.cornerCount < 3) return;
    float p[3][3] = {};
    for (int c = 0; c < 3; ++c) {
        if (face.indices[c] < 0 || face.indices[c] >= vertices.count) return;
        vertices.GetAttribute(p[c], ATTRIB_POSITION, face.indices[c]);
    }
    const Vector3 p0(p[0][0], p[0][1], p[0][2]);
    const Vector3 p1(p[1][0], p[1][1], p[1][2]);
    const Vector3 p2(p[2][0], p[2][1], p[2][2]);
    face.normal = (p2 - p1).Cross(p0 - p1);
    face.normal.Normalize();
}

void FaceList::ComputeFaceNormals(const VertexArray& vertices)
{
    for (Face& face : records)
        SetNormal(face, vertices);
}
