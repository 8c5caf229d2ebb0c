#pragma once

#include <cstdint>
#include <vector>

class FaceList;

// The faces as one triangle list for glDrawElements, split as the renderer's
// draw routine splits them: a face of n corners gives the fan (0, i, i + 1),
// and a face it skips (fewer than three corners, or an index outside
// 0 .. vertexCount - 1) gives nothing.
std::vector<uint32_t> TriangleIndices(const FaceList& faces, int32_t vertexCount);
