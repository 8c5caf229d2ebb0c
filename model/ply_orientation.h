#pragma once

#include "model/ply_reader.h"

// Turns the mesh right side out: the vertex normals away from its centre and
// the corner order agreeing with them. `fileNormals`: the normals were read
// from the file rather than computed.
void OrientPly(PlyMesh& mesh, bool fileNormals);

// OrientPly for meshes from other tools, with one difference: a mesh whose
// far vertex's normal is perpendicular to its offset (OutwardOffset exactly
// 0, as on every flat mesh) keeps the file's own orientation, where OrientPly
// would turn it away from a camera in front of it.
void OrientImportedPly(PlyMesh& mesh, bool fileNormals);

// The dot product of the normal of the vertex farthest from the mean of all
// positions with that vertex's offset from the mean: positive when the
// normals point away from the mesh.
float OutwardOffset(const PlyMesh& mesh);
// Whether the normal of the vertex farthest from the mean of all positions
// points away from that mean.
bool NormalsPointOutward(const PlyMesh& mesh);
void InvertVertexNormals(PlyMesh& mesh);
// Flips every face when no corner of face 0 has a vertex normal on the side
// of its face normal.
void CheckFirstFace(PlyMesh& mesh);
// Reverses every corner order, which turns every face normal.
void FlipFaces(PlyMesh& mesh);
