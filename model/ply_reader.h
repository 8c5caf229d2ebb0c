#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/face_list.h"
#include "model/vertex_array.h"

// Where a reader puts each attribute of a vertex: the layout of the model's
// vertex array, which carries all four attributes (ATTRIB_POSITION,
// ATTRIB_NORMAL, ATTRIB_COLOR, ATTRIB_TEXCOORD, in that order).
struct MeshLayout {
    static constexpr int32_t kAttributes =
        ATTRIB_POSITION | ATTRIB_NORMAL | ATTRIB_COLOR | ATTRIB_TEXCOORD;
    static constexpr int32_t kStride = 36;
    static constexpr std::size_t kPosition = 0;
    static constexpr std::size_t kNormal = 12;
    static constexpr std::size_t kColor = 24;  // packed 0xAARRGGBB: blue first in memory
    static constexpr std::size_t kTexCoord = 28;
};

// The packed colour of a vertex whose file has no colour: white, so that an
// uncoloured mesh shows white when drawn unlit.
constexpr uint32_t kPlyDefaultColor = 0xFFFFFFFFu;

// A mesh as read: the readers fill the model's own vertex array and face
// list, so that the model takes them over as they are. A vertex starts at
// the origin, without normal or texture coordinate, in the default colour;
// each face's normal is set when the normals are computed.
struct PlyMesh {
    VertexArray vertices;
    FaceList faces;

    PlyMesh() { vertices.Configure(nullptr, MeshLayout::kAttributes, MeshLayout::kStride, 0); }

    // Appends n vertices and returns the first one's bytes, the others'
    // following it.
    uint8_t* AddVertices(std::size_t n)
    {
        const std::size_t at = vertices.data.size();
        vertices.data.resize(at + n * MeshLayout::kStride);
        vertices.count += static_cast<int32_t>(n);
        uint8_t* first = vertices.data.data() + at;
        for (std::size_t i = 0; i < n; ++i)
            std::memcpy(first + i * MeshLayout::kStride + MeshLayout::kColor, &kPlyDefaultColor,
                        sizeof kPlyDefaultColor);
        return first;
    }
    uint8_t* AddVertex() { return AddVertices(1); }
    void RemoveLastVertex()
    {
        vertices.data.resize(vertices.data.size() - MeshLayout::kStride);
        --vertices.count;
    }
    std::size_t VertexCount() const { return static_cast<std::size_t>(vertices.count); }
    uint8_t* Vertex(std::size_t i) { return vertices.data.data() + i * MeshLayout::kStride; }
    const uint8_t* Vertex(std::size_t i) const
    {
        return vertices.data.data() + i * MeshLayout::kStride;
    }
};

// Loads a mesh, computes its normals and turns it right side out. A file that
// cannot be opened or read as a mesh ends in FatalError; it never returns a
// partial mesh.
PlyMesh ReadPly(const char* fileName);

// ReadPly's two halves, for callers that move the positions after reading
// them and before the normals and the orientation are worked out from them.
// ReadPlyRecords fails as ReadPly does; `fileNormals` says the file's normals
// are kept rather than computed.
PlyMesh ReadPlyRecords(const char* fileName, bool& fileNormals);
void FinishPly(PlyMesh& mesh, bool fileNormals);
