#pragma once

#include "model/ply_reader.h"

// Face normals of every face: the right-handed unit normal of corners 0, 1
// and 2, or zero for a face with fewer corners or no area. When
// `computeVertexNormals`, every vertex normal becomes the normalised sum of
// the normals of the faces that use it; otherwise the file's normals stay.
void ComputePlyNormals(PlyMesh& mesh, bool computeVertexNormals);

// Face f's normal as the reader works it out: the cross product of corners
// 0, 1 and 2 scaled to unit length when its length is greater than 0, as it
// stands otherwise (zero for a face with fewer corners).
Vector3 PlyFaceNormal(const PlyMesh& mesh, int32_t f);
