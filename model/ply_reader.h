#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lighting/color.h"

// Colour channel of a vertex whose file has no colour: the byte 255 times the
// byte scale, so an uncoloured mesh shows white when drawn unlit.
constexpr float kPlyDefaultChannel = 255.0f * Color::kByteScale;

// One vertex as read from a PLY file. Groups the file lacks keep these values.
struct PlyVertex {
    float position[3] = {0.0f, 0.0f, 0.0f};
    float normal[3] = {0.0f, 0.0f, 0.0f};
    float texCoord[2] = {0.0f, 0.0f};
    float confidence = 0.0f;
    float color[3] = {kPlyDefaultChannel, kPlyDefaultChannel, kPlyDefaultChannel};
};

// The normal sits between the count and the offset, in the count's padding:
// 24 bytes a face rather than 32.
struct PlyFace {
    uint8_t cornerCount = 0;
    float normal[3] = {0.0f, 0.0f, 0.0f};  // unit, or zero for a degenerate face
    std::size_t firstCorner = 0;           // its indices: the mesh's corners from here
};

struct PlyMesh {
    std::vector<PlyVertex> vertices;
    std::vector<PlyFace> faces;
    // Every face's cornerCount vertex indices, face after face, each within the
    // vertices: one block rather than an array per face.
    std::vector<int32_t> corners;
    // Every face's corner order was turned (and its normal negated) after the
    // normals were computed.
    bool facesFlipped = false;

    int32_t* Corners(const PlyFace& face) { return corners.data() + face.firstCorner; }
    const int32_t* Corners(const PlyFace& face) const { return corners.data() + face.firstCorner; }
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
