#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// The slots present in the file, in the order their groups are read.
std::vector<PlySlot> PlyReadOrder(const PlyHeader& header);

// Bytes of a group in a binary body.
int PlyGroupBytes(PlySlot slot);

// Refuses counts that the bytes left after the header cannot hold, so nothing
// is allocated for them; when they are known to fit, reserves the mesh's
// arrays. bytesLeft < 0 means the size is unknown.
void StartPlyBody(const PlyHeader& header, int64_t bytesLeft, PlyMesh& mesh);
