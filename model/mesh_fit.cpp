#include "model/mesh_fit.h"

#include <algorithm>

namespace {

struct AxisWord {
    const char* word;
    UpAxis axis;
};

constexpr AxisWord kAxisWords[] = {
    {"x", UpAxis::X},       {"y", UpAxis::Y},       {"z", UpAxis::Z},
    {"-x", UpAxis::MinusX}, {"-y", UpAxis::MinusY}, {"-z", UpAxis::MinusZ},
};

// A quarter or half turn that takes `up` to +z: only swaps and sign changes,
// so every value stays exact.
void TurnUp(float v[3], UpAxis up)
{
    const float x = v[0], y = v[1], z = v[2];
    switch (up) {
        case UpAxis::X:  // about y: +x to +z
            v[0] = -z, v[2] = x;
            break;
        case UpAxis::MinusX:
            v[0] = z, v[2] = -x;
            break;
        case UpAxis::Y:  // about x: +y to +z
            v[1] = -z, v[2] = y;
            break;
        case UpAxis::MinusY:
            v[1] = z, v[2] = -y;
            break;
        case UpAxis::MinusZ:  // half a turn about x
            v[1] = -y, v[2] = -z;
            break;
        case UpAxis::Z:
            break;
    }
}

// In double, where the box's centre and the differences from it are exact for
// any float positions, so the extreme vertices land on -1 and 1 exactly.
void Fit(std::vector<PlyVertex>& vertices)
{
    if (vertices.empty()) return;
    float lo[3], hi[3];
    std::copy(vertices[0].position, vertices[0].position + 3, lo);
    std::copy(lo, lo + 3, hi);
    for (const PlyVertex& vertex : vertices)
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], vertex.position[a]);
            hi[a] = std::max(hi[a], vertex.position[a]);
        }
    double center[3] = {};
    double halfExtent = 0.0;
    for (int a = 0; a < 3; ++a) {
        center[a] = (static_cast<double>(lo[a]) + hi[a]) * 0.5;
        halfExtent = std::max(halfExtent, hi[a] - center[a]);
    }
    // A single point, or many at one place, is moved to the origin only.
    const double scale = halfExtent > 0.0 ? halfExtent : 1.0;
    for (PlyVertex& vertex : vertices)
        for (int a = 0; a < 3; ++a)
            vertex.position[a] = static_cast<float>((vertex.position[a] - center[a]) / scale);
}

}  // namespace

bool ParseUpAxis(const std::string& word, UpAxis& axis)
{
    for (const AxisWord& known : kAxisWords)
        if (word == known.word) {
            axis = known.axis;
            return true;
        }
    return false;
}

void FrameMesh(PlyMesh& mesh, const MeshFraming& framing)
{
    if (framing.up != UpAxis::Z)
        for (PlyVertex& vertex : mesh.vertices) {
            TurnUp(vertex.position, framing.up);
            TurnUp(vertex.normal, framing.up);
        }
    if (framing.fit) Fit(mesh.vertices);
}
