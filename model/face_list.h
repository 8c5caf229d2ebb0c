#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "math/vector4.h"
#include "model/page_prefault.h"

class VertexArray;

// A face's corner indices: a view into its face list's store of every face's
// corners, which keeps a mesh's million small arrays in one block. Aligned to
// four bytes, the view takes 12 bytes and a Face 40 rather than 48: 8 MB less
// to fill for a million faces.
#pragma pack(push, 4)
class CornerIndices {
public:
    CornerIndices() = default;
    CornerIndices(const int32_t* first, int32_t count) : first(first), count(count) {}

    const int32_t* begin() const { return first; }
    const int32_t* end() const { return first + count; }
    int32_t operator[](int32_t i) const { return first[i]; }
    int32_t size() const { return count; }
    bool operator==(const CornerIndices& other) const
    {
        return std::equal(begin(), end(), other.begin(), other.end());
    }

private:
    const int32_t* first = nullptr;
    int32_t count = 0;
};
#pragma pack(pop)

struct Face {
    int32_t cornerCount = 0;
    CornerIndices indices;             // cornerCount vertex indices
    Vector3 normal{0.0f, 0.0f, 0.0f};  // unit, or zero for a degenerate face
};

// A face handed to FaceList::Assign: its corner count and, when the caller
// already has the normal ComputeFaceNormals would give it, that normal.
struct KnownFace {
    int32_t cornerCount;
    const float* normal;  // x, y, z, or null
};

// The model's polygons in file order. The faces view the list's own store,
// so a list is moved, never copied.
class FaceList {
public:
    int32_t count = 0;
    std::vector<Face> records;

    FaceList() = default;
    FaceList(const FaceList&) = delete;
    FaceList& operator=(const FaceList&) = delete;
    FaceList(FaceList&&) = default;
    FaceList& operator=(FaceList&&) = default;

    void Resize(int32_t n);
    // Room for this many corners in all, so that setting the faces stores
    // them without moving the block.
    void ReserveCorners(std::size_t corners);
    // Ignored when `index` is outside the list; the caller keeps `indices`.
    void SetFace(int32_t index, int32_t cornerCount, const int32_t* indices);
    void ClearFaces();
    // Right-handed normal of corners 0, 1, 2; later corners take no part, and a
    // face with fewer than three corners (or an index outside the vertices)
    // keeps a zero normal.
    void ComputeFaceNormals(const VertexArray& vertices);
    const Vector3& GetFaceNormal(int32_t index) const { return records[index].normal; }

    // The list that Resize(n), SetFace of every face in order and then
    // ComputeFaceNormals(vertices) make, built in one pass over the faces and
    // without copying the corners: `store` holds every face's indices, face
    // after face, and becomes the list's own; faceAt(f) gives face f as a
    // KnownFace, and the n counts add up to store.size().
    template <class FaceAt>
    void Assign(int32_t n, std::vector<int32_t> store, FaceAt faceAt, const VertexArray& vertices)
    {
        ClearFaces();
        corners = std::move(store);
        count = n > 0 ? n : 0;
        records.reserve(static_cast<std::size_t>(count));
        PrefaultCapacity(records);
        const int32_t* first = corners.data();
        for (int32_t f = 0; f < count; ++f) {
            const KnownFace known = faceAt(f);
            Face& face = records.emplace_back();
            face.cornerCount = known.cornerCount;
            face.indices = CornerIndices(first, face.cornerCount);
            if (known.normal != nullptr)
                face.normal = Vector3(known.normal[0], known.normal[1], known.normal[2]);
            else
                SetNormal(face, vertices);
            first += face.cornerCount;
        }
    }

private:
    std::vector<int32_t> corners;  // every face's indices, in the order set

    static void SetNormal(Face& face, const VertexArray& vertices);
};
