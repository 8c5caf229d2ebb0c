#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/page_prefault.h"
#include "model/ply_groups.h"
#include "model/ply_header.h"
#include "model/ply_reader.h"

// The record being read, for error messages.
struct PlyPlace {
    const char* element;  // "vertex" or "face"
    int32_t index;
    int32_t count;
};

[[noreturn]] void FailTruncated(const PlyPlace& place);
[[noreturn]] void FailValue(const PlyPlace& place, const std::string& problem);
[[noreturn]] void FailCornerIndex(const PlyPlace& place, int64_t index, int32_t vertexCount);

// A corner index as read, refused unless it names one of the vertices.
inline int32_t CheckedCornerIndex(int64_t index, int32_t vertexCount, const PlyPlace& place)
{
    if (index < 0 || index >= vertexCount) FailCornerIndex(place, index, vertexCount);
    return static_cast<int32_t>(index);
}

// One value of a vertex record, in file order, stored at byte `field` of the
// vertex (kPlyNoField: not stored). A float must be finite; any other value
// is a colour byte, or bytes the import passes over. `bytes`: its size in a
// binary record.
struct PlyVertexValue {
    std::size_t field;
    uint8_t bytes;
    bool isFloat;
};

// The values of a vertex record in the order the file holds them, from the
// slot layouts of its groups. Both body readers follow it.
std::vector<PlyVertexValue> PlyVertexLayout(const PlyHeader& header);

// Bytes of a vertex record in a binary body.
std::size_t PlyBinaryVertexBytes(const std::vector<PlyVertexValue>& layout);

// Store a value read for `value` into the vertex's bytes: a float's four
// bytes, or a colour channel's byte.
inline void StoreVertexFloat(uint8_t* vertex, const PlyVertexValue& value, float number)
{
    if (value.field != kPlyNoField) std::memcpy(vertex + value.field, &number, sizeof number);
}
inline void StoreVertexByte(uint8_t* vertex, const PlyVertexValue& value, uint8_t byte)
{
    if (value.field != kPlyNoField) vertex[value.field] = byte;
}

// Refuses counts that the bytes left after the header cannot hold, or whose
// mesh could not fit in this machine's memory, so nothing is allocated for
// them; then reserves the mesh's arrays as far as the bytes left can fill
// them. bytesLeft < 0 means the size is unknown: the arrays then grow as the
// records arrive.
void StartPlyBody(const PlyHeader& header, int64_t bytesLeft, PlyMesh& mesh);

// Records between two requests for memory ahead of the reading (see
// PrefaultAhead): the pages a load has backed follow what it has read, not
// what the header promised.
constexpr int32_t kPlyPrefaultRecords = 1 << 16;

// Whether record `index` starts a block of kPlyPrefaultRecords records.
inline bool StartsPrefaultBlock(int32_t index)
{
    return (index & (kPlyPrefaultRecords - 1)) == 0;
}

// The pages of the next block of faces and of their corners, three a face.
void PrefaultFaceBlock(PlyMesh& mesh);
// The pages of the next block of vertices.
void PrefaultVertexBlock(PlyMesh& mesh);
