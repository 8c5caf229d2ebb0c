#include "model/mesh_builder.h"

#include <algorithm>

void NoteOnce(std::vector<std::string>& list, const std::string& what)
{
    if (std::find(list.begin(), list.end(), what) == list.end()) list.push_back(what);
}

// Each piece is corner 0 followed by a run of 254 corners that starts where
// the last one ended, so the pieces' fans are the polygon's fan.
void SplitIntoFan(PlyMesh& mesh, std::size_t first, MeshSummary& summary)
{
    ++summary.splitFaces;
    const std::vector<int32_t> polygon(mesh.corners.begin() + static_cast<std::ptrdiff_t>(first),
                                       mesh.corners.end());
    mesh.corners.resize(first);
    constexpr std::size_t kRun = kMaxFaceCorners - 1;
    for (std::size_t start = 1; start + 1 < polygon.size(); start += kRun - 1) {
        PlyFace& face = mesh.faces.emplace_back();
        face.firstCorner = mesh.corners.size();
        mesh.corners.push_back(polygon[0]);
        const std::size_t stop = std::min(polygon.size(), start + kRun);
        mesh.corners.insert(mesh.corners.end(),
                            polygon.begin() + static_cast<std::ptrdiff_t>(start),
                            polygon.begin() + static_cast<std::ptrdiff_t>(stop));
        face.cornerCount = static_cast<uint8_t>(mesh.corners.size() - face.firstCorner);
    }
}

void AddPolygon(PlyMesh& mesh, const int32_t* corners, std::size_t n, MeshSummary& summary)
{
    const std::size_t first = mesh.corners.size();
    mesh.corners.insert(mesh.corners.end(), corners, corners + n);
    CloseFace(mesh, first, summary);
}

void AddPointFaces(PlyMesh& mesh, MeshSummary& summary)
{
    summary.pointCloud = true;
    const std::size_t n = mesh.vertices.size();
    mesh.faces.resize(n);
    mesh.corners.resize(3 * n);
    for (std::size_t i = 0; i < n; ++i) {
        mesh.faces[i].cornerCount = 3;
        mesh.faces[i].firstCorner = 3 * i;
        std::fill_n(mesh.corners.begin() + static_cast<std::ptrdiff_t>(3 * i), 3,
                    static_cast<int32_t>(i));
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
