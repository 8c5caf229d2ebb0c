#pragma once

#include <vector>

#include "model/mesh_summary.h"
#include "model/ply_complete_header.h"

// Where each value of an element's row goes.
enum class PlyTarget : uint8_t {
    Skip,
    X,
    Y,
    Z,
    NormalX,
    NormalY,
    NormalZ,
    U,
    V,
    Red,
    Green,
    Blue,
    Corners,  // a face's or a strip's vertex indices
};

// What an element is to the mesh.
enum class PlyRole : uint8_t { Skip, Vertices, Faces, Strips };

struct PlyElementPlan {
    PlyRole role = PlyRole::Skip;
    std::vector<PlyTarget> targets;  // one per property
};

// One plan per element of the layout, and what the summary says of them:
// the vertex attributes kept and everything skipped. The first "vertex"
// element gives the vertices; "face" elements give polygons and "tristrips"
// elements strips, from their list named vertex_indices or vertex_index.
// A layout without vertex positions ends in FatalError.
std::vector<PlyElementPlan> PlanPlyElements(const PlyLayout& layout, MeshSummary& summary);

// The vertex element's normals are the file's.
bool PlanHasNormals(const std::vector<PlyElementPlan>& plans);
