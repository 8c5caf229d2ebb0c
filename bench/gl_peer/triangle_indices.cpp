#include "bench/gl_peer/triangle_indices.h"

#include "model/face_list.h"

namespace {

bool Drawable(const Face& face, int32_t vertexCount)
{
    if (face.cornerCount < 3) return false;
    for (int32_t index : face.indices)
        if (index < 0 || index >= vertexCount) return false;
    return true;
}

}  // namespace

std::vector<uint32_t> TriangleIndices(const FaceList& faces, int32_t vertexCount)
{
    std::vector<uint32_t> indices;
    for (int32_t f = 0; f < faces.count; ++f) {
        const Face& face = faces.records[f];
        if (!Drawable(face, vertexCount)) continue;
        for (int32_t i = 1; i + 1 < face.cornerCount; ++i)
            for (int32_t corner : {0, i, i + 1})
                indices.push_back(static_cast<uint32_t>(face.indices[corner]));
    }
    return indices;
}
