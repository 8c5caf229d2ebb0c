#include "pipeline/corner_cache.h"

#include <algorithm>
#include <cstring>

#include "model/vertex_array.h"

CornerFetch::CornerFetch(const VertexArray& vertices, int32_t attribMask)
    : data(vertices.data.data()), stride(vertices.stride)
{
    const int32_t bits[4] = {ATTRIB_POSITION, ATTRIB_NORMAL, ATTRIB_TEXCOORD, ATTRIB_COLOR};
    for (int i = 0; i < 4; ++i)
        offset[i] = (attribMask & bits[i] & vertices.attributeMask)
                        ? vertices.AttributeOffset(bits[i])
                        : -1;
}

void CornerFetch::operator()(int32_t index, PipelineVertex& corner) const
{
    const uint8_t* vertex = data + static_cast<std::size_t>(index) * stride;
    float v[3];
    if (offset[0] >= 0) corner.position = PositionAsFetched(index);
    if (offset[1] >= 0) {
        std::memcpy(v, vertex + offset[1], sizeof v);
        corner.normal = Vector3(v[0], v[1], v[2]);
    }
    if (offset[2] >= 0) {
        std::memcpy(v, vertex + offset[2], 2 * sizeof(float));
        corner.texCoord = Vector4(v[0], v[1], 0.0f, 1.0f);
    }
    if (offset[3] >= 0) {
        uint32_t argb;
        std::memcpy(&argb, vertex + offset[3], sizeof argb);
        corner.color.SetARGB(argb);
    }
}

void CornerCache::Begin(int32_t vertexCount, int32_t mostPlaces)
{
    const auto most = static_cast<uint32_t>(std::clamp(mostPlaces, 1, kMaxPlaces));
    uint32_t places = 1;
    while (places < static_cast<uint32_t>(std::max(vertexCount, 1)) && places < most)
        places <<= 1;
    mask = places - 1;
    if (corners.size() < places) corners.resize(places);
    held.assign(places, -1);
}
