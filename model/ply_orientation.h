#pragma once

#include <vector>

#include "model/ply_reader.h"

// Turns the mesh right side out: the vertex normals away from its centre and
// the corner order agreeing with them. `fileNormals`: the normals were read
// from the file rather than computed.
void OrientPly(PlyMesh& mesh, bool fileNormals);

// Whether the normal of the vertex farthest from the mean of all positions
// points away from that mean.
bool NormalsPointOutward(const std::vector<PlyVertex>& vertices);
void InvertVertexNormals(std::vector<PlyVertex>& vertices);
// Flips every face when no corner of face 0 has a vertex normal on the side
// of its face normal.
void CheckFirstFace(PlyMesh& mesh);
// Negates every face normal and reverses every corner order.
void FlipFaces(PlyMesh& mesh);
