#pragma once

#include <cstdint>
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
    // not range-checked: callers pass 0 .. count - 1.
    bool SetAttribute(const void* value, int32_t attribute, int32_t index);
    bool GetAttribute(void* out, int32_t attribute, int32_t index) const;

    // Byte offset of `attribute` within a vertex, or -1 when it is not a single
    // attribute bit (such a request copies nothing).
    int32_t AttributeOffset(int32_t attribute) const;
    static int32_t AttributeSize(int32_t attribute);
};
