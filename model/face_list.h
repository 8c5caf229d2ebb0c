#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "math/vector4.h"

class VertexArray;

// A face's corner indices: a view into its face list's store of every face's
// corners, which keeps a mesh's million small arrays in one block.
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

// A face as the draw reads it: made when asked for from its list's stores,
// and valid while the list is not changed.
struct Face {
    int32_t cornerCount = 0;
    CornerIndices indices;             // cornerCount vertex indices
    Vector3 normal{0.0f, 0.0f, 0.0f};  // unit, or zero for a degenerate face
};

// The faces of a list, kept in as few bytes as they allow: every face's
// corner indices in one block and each face's normal as three floats. A list
// whose faces all have the same number of corners, face after face (a
// triangle mesh, as most are), needs nothing more: face f starts at f times
// that number. Any other list also keeps, per face, where its corners start
// and how many there are. records[f] is face f.
class FaceRecords {
public:
    Face operator[](int32_t f) const
    {
        const int32_t n = CornerCount(f);
        return {n, CornerIndices(corners.data() + First(f), n), Normal(f)};
    }
    std::size_t size() const { return normals.size(); }

    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Face;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Face;

        Iterator(const FaceRecords& records, int32_t f) : records(&records), f(f) {}
        Face operator*() const { return (*records)[f]; }
        Iterator& operator++()
        {
            ++f;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return f != other.f; }
        bool operator==(const Iterator& other) const { return f == other.f; }

    private:
        const FaceRecords* records;
        int32_t f;
    };
    Iterator begin() const { return {*this, 0}; }
    Iterator end() const { return {*this, static_cast<int32_t>(size())}; }

private:
    friend class FaceList;

    struct Normal3 {
        float x, y, z;
    };

    bool Uniform() const { return counts.empty(); }
    std::size_t First(int32_t f) const
    {
        return Uniform() ? static_cast<std::size_t>(f) * static_cast<std::size_t>(uniform)
                         : firsts[f];
    }
    int32_t CornerCount(int32_t f) const { return Uniform() ? uniform : counts[f]; }
    Vector3 Normal(int32_t f) const { return {normals[f].x, normals[f].y, normals[f].z}; }

    std::vector<int32_t> corners;
    std::vector<Normal3> normals;
    int32_t uniform = 0;  // every face's corner count while `counts` is empty
    std::vector<std::size_t> firsts;
    std::vector<int32_t> counts;
};

// The model's polygons in file order.
class FaceList {
public:
    int32_t count = 0;
    FaceRecords records;

    void Resize(int32_t n);
    // Ignored when `index` is outside the list; the caller keeps `indices`.
    void SetFace(int32_t index, int32_t cornerCount, const int32_t* indices);
    void ClearFaces();
    // Right-handed normal of corners 0, 1, 2; later corners take no part, and a
    // face with fewer than three corners (or an index outside the vertices)
    // keeps a zero normal.
    void ComputeFaceNormals(const VertexArray& vertices);
    // ComputeFaceNormals for face f alone.
    void ComputeFaceNormal(int32_t f, const VertexArray& vertices);
    Vector3 GetFaceNormal(int32_t index) const { return records.Normal(index); }

    // Building a list face after face, as the mesh readers do: a face's
    // indices one by one, then EndFace with their count, which adds the face
    // with a zero normal. Inline: a reader adds each corner as it reads it.
    void AddCorner(int32_t index) { records.corners.push_back(index); }
    void EndFace(int32_t cornerCount)
    {
        if (!records.Uniform() || (cornerCount != records.uniform && records.size() > 0))
            KeepPlaceOf(cornerCount);
        else
            records.uniform = cornerCount;
        records.normals.push_back({0.0f, 0.0f, 0.0f});
        // A reader that adds more faces than a list counts is refused (by
        // the import) right after reading.
        if (count < INT32_MAX) ++count;
    }
    void SetFaceNormal(int32_t f, const Vector3& n) { records.normals[f] = {n.x, n.y, n.z}; }
    int32_t* Indices(int32_t f) { return records.corners.data() + records.First(f); }
    // Every face's corners, counted together.
    std::size_t CornerTotal() const { return records.corners.size(); }
    // Room for this many faces and corners in all, so that adding them moves
    // no block; PrefaultAhead backs the pages of the next ones (page_prefault.h).
    void Reserve(std::size_t faces, std::size_t corners);
    void PrefaultAhead(std::size_t faces, std::size_t corners);

private:
    // From here on every face keeps where its corners start and how many.
    void KeepEachFacesPlace();
    // The place of the face whose cornerCount corners were added last.
    void KeepPlaceOf(int32_t cornerCount);
};
