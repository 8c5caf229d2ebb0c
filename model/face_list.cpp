#include "model/face_list.h"

#include <cstring>
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

namespace {

// Read float by float, so that the compiler keeps them in registers: a copy
// of the 12 bytes through memory stalls the loads that read it back.
Vector3 Position(const uint8_t* bytes)
{
    float p[3];
    for (int i = 0; i < 3; ++i)
        std::memcpy(&p[i], bytes + 4 * i, sizeof p[i]);
    return {p[0], p[1], p[2]};
}

}  // namespace

void FaceList::SetNormal(Face& face, const VertexArray& vertices)
{
    face.normal = Vector3(0.0f, 0.0f, 0.0f);
    // Without positions every corner is at the origin and the normal is zero;
    // with them, they lead each vertex.
    if (face.cornerCount < 3 || (vertices.attributeMask & ATTRIB_POSITION) == 0) return;
    const uint8_t* corner[3];
    for (int c = 0; c < 3; ++c) {
        const int32_t index = face.indices[c];
        if (index < 0 || index >= vertices.count) return;
        corner[c] = vertices.data.data() + static_cast<std::size_t>(index) * vertices.stride;
    }
    const Vector3 p0 = Position(corner[0]);
    const Vector3 p1 = Position(corner[1]);
    const Vector3 p2 = Position(corner[2]);
    face.normal = (p2 - p1).Cross(p0 - p1);
    face.normal.Normalize();
}

void FaceList::ComputeFaceNormals(const VertexArray& vertices)
{
    for (Face& face : records)
        SetNormal(face, vertices);
}
