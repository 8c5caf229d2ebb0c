#include "model/vertex_array.h"

#include <cstring>

void VertexArray::Configure(const void* initialData, int32_t mask, int32_t strideBytes,
                            int32_t vertexCount)
{
    attributeMask = mask;
    stride = strideBytes;
    count = vertexCount;
    const std::size_t bytes = static_cast<std::size_t>(vertexCount > 0 ? vertexCount : 0) *
                              static_cast<std::size_t>(strideBytes > 0 ? strideBytes : 0);
    data.assign(bytes, 0);
    if (initialData != nullptr && bytes > 0) std::memcpy(data.data(), initialData, bytes);
}

int32_t VertexArray::AttributeSize(int32_t attribute)
{
    switch (attribute) {
        case ATTRIB_POSITION:
        case ATTRIB_NORMAL:
            return 12;
        case ATTRIB_COLOR:
            return 4;
        case ATTRIB_TEXCOORD:
            return 8;
        default:
            return 0;
    }
}

int32_t VertexArray::AttributeOffset(int32_t attribute) const
{
    if (AttributeSize(attribute) == 0) return -1;
    int32_t offset = 0;
    for (int32_t bit = ATTRIB_POSITION; bit < attribute; bit <<= 1)
        if (attributeMask & bit) offset += AttributeSize(bit);
    return offset;
}

bool VertexArray::SetAttribute(const void* value, int32_t attribute, int32_t index)
{
    if ((attribute & attributeMask) == 0) return false;
    const int32_t offset = AttributeOffset(attribute);
    if (offset >= 0)
        std::memcpy(&data[static_cast<std::size_t>(index) * stride + offset], value,
                    AttributeSize(attribute));
    return true;
}

bool VertexArray::GetAttribute(void* out, int32_t attribute, int32_t index) const
{
    if ((attribute & attributeMask) == 0) return false;
    const int32_t offset = AttributeOffset(attribute);
    if (offset >= 0)
        std::memcpy(out, &data[static_cast<std::size_t>(index) * stride + offset],
                    AttributeSize(attribute));
    return true;
}
