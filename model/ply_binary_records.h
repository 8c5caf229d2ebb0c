#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/face_list.h"
#include "model/ply_input.h"
#include "model/ply_records.h"

// Decoding binary records, shared by the window program's reader and the
// import's where a file holds what both read: vertex rows of floats and
// colour bytes, and faces of an 8-bit count and 4-byte indices. The byte
// order is a template argument, so that it is settled once per file rather
// than once per value.

// A 4-byte value in the file's byte order.
template <bool kBigEndian>
uint32_t LoadPly32(const uint8_t* b)
{
    if (kBigEndian) return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
    return uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
}

// Decodes the first n values of a vertex record at `at` into the vertex's
// bytes; false when a float that must be finite is not.
template <bool kBigEndian>
bool DecodePlyVertex(const std::vector<PlyVertexValue>& layout, std::size_t n, const uint8_t* at,
                     uint8_t* vertex)
{
    bool finite = true;
    const PlyVertexValue* const last = layout.data() + n;
    for (const PlyVertexValue* value = layout.data(); value != last; ++value) {
        if (value->isFloat) {
            const uint32_t bits = LoadPly32<kBigEndian>(at);
            float number;
            std::memcpy(&number, &bits, sizeof number);
            finite &= std::isfinite(number);
            StoreVertexFloat(vertex, *value, number);
        } else {
            StoreVertexByte(vertex, *value, *at);
        }
        at += value->bytes;
    }
    return finite;
}

// A face record: its corner count byte, then that many 4-byte indices, each
// passed through `check` (which ends the load for an index outside the
// vertices) and added to the faces, then the face itself. False when the file
// ends inside the record: the count byte is then read, when there is one, and
// `n` holds it (-1 when there is none); the indices are left to the caller,
// which reports a record cut short as it does.
template <bool kBigEndian, class Check>
bool ReadPlyFace(PlyInput& input, FaceList& faces, Check check, int& n)
{
    const uint8_t* count = input.Take(1);
    n = count != nullptr ? *count : -1;
    if (n < 0) return false;
    const uint8_t* at = input.Take(4 * static_cast<std::size_t>(n));
    if (at == nullptr) return false;
    for (int i = 0; i < n; ++i, at += 4)
        faces.AddCorner(check(static_cast<int32_t>(LoadPly32<kBigEndian>(at))));
    faces.EndFace(n);
    return true;
}

// The face records from `row` on up to `count`, each read as ReadPlyFace
// reads one, with the pages of the face list backed a block at a time as
// they arrive; `row` follows the record being read, for messages. False, as
// ReadPlyFace, when the file ends inside a record.
template <bool kBigEndian, class Check>
bool ReadPlyFaces(PlyInput& input, PlyMesh& mesh, int32_t count, int32_t& row, Check check, int& n)
{
    for (; row < count; ++row) {
        if (StartsPrefaultBlock(row)) PrefaultFaceBlock(mesh);
        if (!ReadPlyFace<kBigEndian>(input, mesh.faces, check, n)) return false;
    }
    return true;
}
