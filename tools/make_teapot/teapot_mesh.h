#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "make_teapot/bezier_patches.h"

struct MeshVertex {
    float x, y, z;
    float u, v;
};

struct TriangleMesh {
    std::vector<MeshVertex> vertices;
    std::vector<std::array<int32_t, 3>> triangles;
};

// Each patch becomes an n x n grid of quads, two triangles each. Points that
// coincide are one vertex, so neighbouring patches share their edges and the
// smooth normals have no seams; triangles that collapse at a pole are left
// out. Triangles keep the winding of the patch parameters: the patches are
// listed so that dP/du x dP/dv points out of the surface.
TriangleMesh TessellatePatches(const BezierPatches& data, int n);
