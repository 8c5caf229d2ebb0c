#include "model/vertex_array.h"

#include <cstring>

#include "model/page_prefault.h"

void VertexArray::Configure(const void* initialData, int32_t mask, int32_t strideBytes,
                            int32_t vertexCount)
{
    attributeMask = mask;
    stride = strideBytes;
    count = vertexCount;
    const std::size_t bytes = static_cast<std::size_t>(vertexCount > 0 ? vertexCount : 0) *
                              static_cast<std::size_t>(strideBytes > 0 ? strideBytes : 0);
    data.clear();
    data.reserve(bytes);
    PrefaultCapacity(data);
    data.assign(bytes, 0);
    if (initialData != nullptr && bytes > 0) std::memcpy(data.data(), initialData, bytes);
}
