#pragma once

#include <string>

#include "model/ply_reader.h"

// The axis of a file that points up: turned to +z, the scene's vertical.
enum class UpAxis { X, Y, Z, MinusX, MinusY, MinusZ };

// "x", "y", "z", "-x", "-y" or "-z"; false for any other word.
bool ParseUpAxis(const std::string& word, UpAxis& axis);

// How a mesh is placed before anything is computed from its positions.
struct MeshFraming {
    UpAxis up = UpAxis::Z;
    // Centre the bounding box on the origin and scale its largest
    // half-extent to 1, so that the camera frames any mesh.
    bool fit = false;
};

// Turns the up axis to z by a rotation (never a mirror, so the corner order
// keeps its meaning), positions and normals alike, then fits the positions.
// The mesh has read positions only: normals and orientation come after.
void FrameMesh(PlyMesh& mesh, const MeshFraming& framing);
