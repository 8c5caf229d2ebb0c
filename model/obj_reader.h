#pragma once

#include "model/mesh_summary.h"
#include "model/ply_input.h"
#include "model/ply_reader.h"

// Reads a Wavefront OBJ file through tinyobjloader: v (with the colours
// some writers append), vt, vn and f, polygons, negative indices, every
// object and group merged into one mesh; materials, lines and the rest are
// passed over. A corner is one vertex per distinct position, texture
// coordinate and normal it names. The file's normals are kept when every
// corner names one. A file without faces is a point cloud of its positions.
// Anything malformed ends in FatalError ("(ReadObj)").
PlyMesh ReadObj(PlyInput& input, bool& fileNormals, MeshSummary& summary);
