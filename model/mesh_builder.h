#pragma once

#include <cstddef>
#include <cstdint>

#include "model/mesh_summary.h"
#include "model/ply_reader.h"

// The most corners a face keeps: its count is one byte, as a PLY file
// written for the window program stores it.
constexpr std::size_t kMaxFaceCorners = 255;

// Makes the corners appended to the mesh's store from `first` on into one
// face; beyond kMaxFaceCorners corners, into a fan of faces around its
// corner 0 that covers the same triangles. Inline: a reader calls it once
// per face, with the corners already in place.
void SplitIntoFan(PlyMesh& mesh, std::size_t first, MeshSummary& summary);
inline void CloseFace(PlyMesh& mesh, std::size_t first, MeshSummary& summary)
{
    ++summary.fileFaces;
    const std::size_t n = mesh.corners.size() - first;
    if (n > kMaxFaceCorners) return SplitIntoFan(mesh, first, summary);
    PlyFace face;
    face.cornerCount = static_cast<uint8_t>(n);
    face.firstCorner = first;
    mesh.faces.push_back(face);
}

// Appends a polygon's corners and makes them a face as CloseFace does.
void AddPolygon(PlyMesh& mesh, const int32_t* corners, std::size_t n, MeshSummary& summary);

// A mesh with vertices and no faces is a point cloud: one face per vertex
// whose three corners are that vertex, (i, i, i). The pipeline draws such a
// face as one depth-tested, lit pixel (its three one-pixel edges fall on the
// same pixel, and the depth test lets only the first through), and the
// window program's reader reads it as any triangle.
void AddPointFaces(PlyMesh& mesh, MeshSummary& summary);

// Appends the triangles of a strip whose runs are separated by -1: every
// second triangle turned so that all share the strip's winding. Triangles
// with a repeated corner, which strips use to stitch runs, have no area and
// are left out.
void AddTriangleStrip(PlyMesh& mesh, const int32_t* indices, std::size_t n, MeshSummary& summary);
