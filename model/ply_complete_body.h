#pragma once

#include <vector>

#include "model/mesh_summary.h"
#include "model/ply_complete_header.h"
#include "model/ply_complete_plan.h"
#include "model/ply_input.h"
#include "model/ply_reader.h"

// Reads every element of the body after the header, in file order, as the
// plans say: vertices, polygons and strips into the mesh, everything else
// passed over. Malformed data, values that do not fit their type and corner
// indices outside the vertices end in FatalError naming the element, row and
// property.
void ReadCompletePlyBody(PlyInput& input, const PlyLayout& layout,
                         const std::vector<PlyElementPlan>& plans, PlyMesh& mesh,
                         MeshSummary& summary);
