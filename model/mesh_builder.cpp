#include "model/mesh_builder.h"

#include <algorithm>

void NoteOnce(std::vector<std::string>& list, const std::string& what)
{
    if (std::find(list.begin(), list.end(), what) == list.end()) list.push_back(what);
}

// Each piece is corner 0 followed by a run of 254 corners that starts where
// the last one ended, so the pieces' fans are the polygon's fan.
void SplitIntoFan(PlyMesh& mesh, const int32_t* corners, std::size_t n)
{
    constexpr std::size_t kRun = kMaxFaceCorners - 1;
    for (std::size_t start = 1; start + 1 < n; start += kRun - 1) {
        const std::size_t stop = std::min(n, start + kRun);
        mesh.faces.AddCorner(corners[0]);
        for (std::size_t c = start; c < stop; ++c)
            mesh.faces.AddCorner(corners[c]);
        mesh.faces.EndFace(static_cast<int32_t>(1 + stop - start));
    }
}

void AddPointFaces(PlyMesh& mesh, MeshSummary& summary)
{
    summary.pointCloud = true;
    const auto n = static_cast<int32_t>(mesh.VertexCount());
    mesh.faces.Reserve(static_cast<std::size_t>(n), 3 * static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        for (int c = 0; c < 3; ++c)
            mesh.faces.AddCorner(i);
        mesh.faces.EndFace(3);
    }
}

void AddTriangleStrip(PlyMesh& mesh, const int32_t* indices, std::size_t n, MeshSummary& summary)
{
    std::size_t run = 0;  // corners of the current run so far
    for (std::size_t i = 0; i < n; ++i) {
        if (indices[i] < 0) {
            run = 0;
            continue;
        }
        if (++run < 3) continue;
        const bool odd = run % 2 == 0;
        const int32_t t[3] = {indices[i - (odd ? 1 : 2)], indices[i - (odd ? 2 : 1)], indices[i]};
        if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) {
            ++summary.droppedFaces;
            continue;
        }
        AddPolygon(mesh, t, 3, summary);
    }
}
