#pragma once

#include "model/mesh_summary.h"
#include "model/ply_input.h"
#include "model/ply_reader.h"

// Reads an STL file, binary or ASCII, from its first byte. Every facet gets
// three vertices of its own; the facets' stored normals are passed over, as
// the corners' order says the same and many writers leave them zero.
//
// Binary files may start with "solid" like ASCII ones: a file of known size
// is binary exactly when it is 84 + 50 n bytes long, n being the facet count
// at bytes 80 to 83; a stream of unknown size that starts with "solid" is
// ASCII when its second line starts with "facet" or "endsolid".
// Anything malformed ends in FatalError ("(ReadStl)").
PlyMesh ReadStl(PlyInput& input, MeshSummary& summary);
