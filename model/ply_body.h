#pragma once

#include <cstdint>

#include "model/ply_header.h"
#include "model/ply_input.h"
#include "model/ply_reader.h"

// Refuses counts that the bytes left after the header cannot hold, so nothing
// is allocated for them. bytesLeft < 0 means the size is unknown.
void CheckPlyBodySize(const PlyHeader& header, int64_t bytesLeft);

// Append the vertex and face records that follow the header to `mesh`. Short or
// malformed data and corner indices outside the vertices end in FatalError.
void ReadPlyAscii(PlyInput& input, const PlyHeader& header, PlyMesh& mesh);
void ReadPlyBinary(PlyInput& input, const PlyHeader& header, PlyMesh& mesh);
