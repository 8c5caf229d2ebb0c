#pragma once

#include "model/ply_header.h"
#include "model/ply_input.h"
#include "model/ply_reader.h"

// Append the vertex and face records that follow the header to `mesh`. Short or
// malformed data and corner indices outside the vertices end in FatalError.
void ReadPlyAscii(PlyInput& input, const PlyHeader& header, PlyMesh& mesh);
void ReadPlyBinary(PlyInput& input, const PlyHeader& header, PlyMesh& mesh);
