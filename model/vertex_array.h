#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Vertex attribute bits, in layout order within a vertex.
enum : int32_t {
    ATTRIB_POSITION = 1,  // 3 floats
    ATTRIB_NORMAL = 2,    // 3 floats
    ATTRIB_COLOR = 4,     // one packed 0xAARRGGBB word
    ATTRIB_TEXCOORD = 8,  // 2 floats
};

// Interleaved vertex attributes: the attributes in the mask follow one another
// in bit order without gaps, `stride` bytes per vertex.
class VertexArray {
public:
    int32_t count = 0;
    std::vector<uint8_t> data;  // count x stride bytes
    int32_t attributeMask = 0;
    int32_t stride = 0;

    // Zero-filled store of count x stride bytes, then a copy of initialData if given.
    void Configure(const void* initialData, int32_t attributeMask, int32_t stride, int32_t count);

    // False, touching nothing, when `attribute` is not in the mask. `index` is
    // not range-checked: callers pass 0 .. count - 1. Inline, so that a
    // constant attribute copies a constant number of bytes: loading a mesh
    // goes through these once per vertex and attribute.
    bool SetAttribute(const void* value, int32_t attribute, int32_t index)
    {
        if ((attribute & attributeMask) == 0) return false;
        const int32_t offset = AttributeOffset(attribute);
        if (offset >= 0) std::memcpy(At(index, offset), value, AttributeSize(attribute));
        return true;
    }
    bool GetAttribute(void* out, int32_t attribute, int32_t index) const
    {
        if ((attribute & attributeMask) == 0) return false;
        const int32_t offset = AttributeOffset(attribute);
        if (offset >= 0) std::memcpy(out, At(index, offset), AttributeSize(attribute));
        return true;
    }

    // Byte offset of `attribute` within a vertex, or -1 when it is not a single
    // attribute bit (such a request copies nothing).
    int32_t AttributeOffset(int32_t attribute) const
    {
        if (AttributeSize(attribute) == 0) return -1;
        int32_t offset = 0;
        for (int32_t bit = ATTRIB_POSITION; bit < attribute; bit <<= 1)
            if (attributeMask & bit) offset += AttributeSize(bit);
        return offset;
    }
    static constexpr int32_t AttributeSize(int32_t attribute)
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

private:
    std::size_t ByteAt(int32_t index, int32_t offset) const
    {
        return static_cast<std::size_t>(index) * static_cast<std::size_t>(stride) +
               static_cast<std::size_t>(offset);
    }
    uint8_t* At(int32_t index, int32_t offset) { return &data[ByteAt(index, offset)]; }
    const uint8_t* At(int32_t index, int32_t offset) const { return &data[ByteAt(index, offset)]; }
};
