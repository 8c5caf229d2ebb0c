#pragma once

#include <string>

#include "model/mesh_fit.h"
#include "model/mesh_summary.h"
#include "model/model.h"

// Loads a mesh of any format the import reads: PLY in full, OBJ or STL, told
// apart by their first bytes and then by the name's extension. The Model is
// the one the renderer draws, built as the canonical reader builds it: the
// file's normals where it has them, computed ones otherwise, and the same
// orientation step, except that a mesh whose orientation test cannot decide
// keeps the file's own orientation. A file without faces is a point cloud:
// one face (i, i, i) per vertex i, drawn as one pixel. `framing` is applied
// to the positions before anything is computed from them. A file that cannot
// be read ends in FatalError with one line naming what is wrong and where. `summary`, when
// given, receives what was kept and what was skipped.
Model ImportMesh(const std::string& path, const MeshFraming& framing,
                 MeshSummary* summary = nullptr);

// The canonical PLY reader (Model(path)) with the framing applied to the
// positions before its normals and orientation are computed. Without
// turning or fitting it builds exactly Model(path).
Model LoadFramedPly(const std::string& path, const MeshFraming& framing);
