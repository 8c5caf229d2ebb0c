#include "model/face_list.h"

#include <cstring>

#include "model/page_prefault.h"
#include "model/ply_vector.h"
#include "model/vertex_array.h"

void FaceList::Resize(int32_t n)
{
    ClearFaces();
    count = n > 0 ? n : 0;
    records.normals.resize(static_cast<std::size_t>(count), {0.0f, 0.0f, 0.0f});
}

void FaceList::KeepEachFacesPlace()
{
    if (!records.Uniform()) return;
    const std::size_t n = records.size();
    records.firsts.resize(n);
    for (std::size_t f = 0; f < n; ++f)
        records.firsts[f] = f * static_cast<std::size_t>(records.uniform);
    records.counts.assign(n, records.uniform);
}

// A face set again with as many corners keeps its place in the store;
// otherwise its new indices go to the end of the store.
void FaceList::SetFace(int32_t index, int32_t cornerCount, const int32_t* indices)
{
    if (records.size() == 0 || index < 0 || index >= count) return;
    const int32_t n = cornerCount > 0 ? cornerCount : 0;
    if (n != records.CornerCount(index)) {
        KeepEachFacesPlace();
        records.firsts[index] = records.corners.size();
        records.counts[index] = n;
        records.corners.resize(records.corners.size() + static_cast<std::size_t>(n));
    }
    std::copy(indices, indices + n, Indices(index));
}

void FaceList::KeepPlaceOf(int32_t cornerCount)
{
    KeepEachFacesPlace();
    records.firsts.push_back(records.corners.size() - static_cast<std::size_t>(cornerCount));
    records.counts.push_back(cornerCount);
}

void FaceList::ClearFaces()
{
    records = FaceRecords();
    count = 0;
}

void FaceList::Reserve(std::size_t faces, std::size_t corners)
{
    records.normals.reserve(faces);
    records.corners.reserve(corners);
}

void FaceList::PrefaultAhead(std::size_t faces, std::size_t corners)
{
    ::PrefaultAhead(records.normals, faces);
    ::PrefaultAhead(records.corners, corners);
}

namespace {

// Without positions every corner is at the origin and the normal is zero;
// with them, they lead each vertex.
Vector3 NormalOf(const Face& face, const VertexArray& vertices)
{
    const Vector3 zero(0.0f, 0.0f, 0.0f);
    if (face.cornerCount < 3 || (vertices.attributeMask & ATTRIB_POSITION) == 0) return zero;
    const uint8_t* corner[3];
    for (int c = 0; c < 3; ++c) {
        const int32_t index = face.indices[c];
        if (index < 0 || index >= vertices.count) return zero;
        corner[c] = vertices.data.data() + static_cast<std::size_t>(index) * vertices.stride;
    }
    const Vector3 p0 = LoadVector3(corner[0]);
    const Vector3 p1 = LoadVector3(corner[1]);
    const Vector3 p2 = LoadVector3(corner[2]);
    Vector3 normal = (p2 - p1).Cross(p0 - p1);
    normal.Normalize();
    return normal;
}

}  // namespace

void FaceList::ComputeFaceNormal(int32_t f, const VertexArray& vertices)
{
    SetFaceNormal(f, NormalOf(records[f], vertices));
}

void FaceList::ComputeFaceNormals(const VertexArray& vertices)
{
    for (int32_t f = 0; f < count; ++f)
        ComputeFaceNormal(f, vertices);
}
