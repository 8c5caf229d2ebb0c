#pragma once

#include "model/ply_reader.h"

// Face normals of every face: the right-handed unit normal of corners 0, 1
// and 2, or zero for a face with fewer corners or no area. When
// `computeVertexNormals`, every vertex normal becomes the normalised sum of
// the normals of the faces that use it; otherwise the file's normals stay.
void ComputePlyNormals(PlyMesh& mesh, bool computeVertexNormals);
