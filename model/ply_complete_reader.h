#pragma once

#include "model/mesh_summary.h"
#include "model/ply_input.h"
#include "model/ply_reader.h"

// Reads a PLY file in full, from its first byte: PLY 1.0 in every encoding
// and scalar type, elements in any order, every property the mesh cannot
// carry passed over (and named in the summary). Gives positions, and the
// file's normals, texture coordinates and colours where it has them;
// `fileNormals` says it had normals. Faces come from "face" elements and
// "tristrips" elements; a file without either gets no faces. Normals and
// orientation are left to the caller. Anything malformed ends in FatalError.
PlyMesh ReadCompletePly(PlyInput& input, bool& fileNormals, MeshSummary& summary);
