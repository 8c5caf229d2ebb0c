#pragma once

#include <cstdint>
#include <vector>

#include "math/vector4.h"

class VertexArray;

struct Face {
    int32_t cornerCount = 0;
    std::vector<int32_t> indices;      // cornerCount vertex indices
    Vector3 normal{0.0f, 0.0f, 0.0f};  // unit, or zero for a degenerate face
};

// The model's polygons in file order.
class FaceList {
public:
    int32_t count = 0;
    std::vector<Face> records;

    void Resize(int32_t n);
    // Ignored when `index` is outside the list; the caller keeps `indices`.
    void SetFace(int32_t index, int32_t cornerCount, const int32_t* indices);
    void ClearFaces();
    // Right-handed normal of corners 0, 1, 2; later corners take no part, and a
    // face with fewer than three corners (or an index outside the vertices)
    // keeps a zero normal.
    void ComputeFaceNormals(const VertexArray& vertices);
    Vector3 GetFaceNormal(int32_t index) const { return records[index].normal; }
};
