#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "model/mesh_summary.h"
#include "model/ply_reader.h"

// The most corners a face keeps: its count is one byte, as a PLY file
// written for the window program stores it.
constexpr std::size_t kMaxFaceCorners = 255;

// Adds a polygon of n corners as one face; beyond kMaxFaceCorners corners,
// as a fan of faces around its corner 0 that covers the same triangles.
// Inline: a reader calls it once per face.
void SplitIntoFan(PlyMesh& mesh, const int32_t* corners, std::size_t n);
inline void AddPolygon(PlyMesh& mesh, const int32_t* corners, std::size_t n, MeshSummary& summary)
{
    ++summary.fileFaces;
    if (n <= kMaxFaceCorners) {
        for (std::size_t c = 0; c < n; ++c)
            mesh.faces.AddCorner(corners[c]);
        mesh.faces.EndFace(static_cast<int32_t>(n));
        return;
    }
    ++summary.splitFaces;
    SplitIntoFan(mesh, corners, n);
}

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
