#include "model/mesh_fit.h"

#include <algorithm>
#include <cstring>

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

// A vertex's position or normal, three floats at `at`, turned in place.
void TurnUpAt(uint8_t* at, UpAxis up)
{
    float v[3];
    std::memcpy(v, at, sizeof v);
    TurnUp(v, up);
    std::memcpy(at, v, sizeof v);
}

// In double, where the box's centre and the differences from it are exact for
// any float positions, so the extreme vertices land on -1 and 1 exactly.
void Fit(PlyMesh& mesh)
{
    const std::size_t n = mesh.VertexCount();
    if (n == 0) return;
    float lo[3], hi[3];
    std::memcpy(lo, mesh.Vertex(0) + MeshLayout::kPosition, sizeof lo);
    std::copy(lo, lo + 3, hi);
    for (std::size_t i = 0; i < n; ++i) {
        float p[3];
        std::memcpy(p, mesh.Vertex(i) + MeshLayout::kPosition, sizeof p);
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], p[a]);
            hi[a] = std::max(hi[a], p[a]);
        }
    }
    double center[3] = {};
    double halfExtent = 0.0;
    for (int a = 0; a < 3; ++a) {
        center[a] = (static_cast<double>(lo[a]) + hi[a]) * 0.5;
        halfExtent = std::max(halfExtent, hi[a] - center[a]);
    }
    // A single point, or many at one place, is moved to the origin only.
    const double scale = halfExtent > 0.0 ? halfExtent : 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        float p[3];
        std::memcpy(p, mesh.Vertex(i) + MeshLayout::kPosition, sizeof p);
        for (int a = 0; a < 3; ++a)
            p[a] = static_cast<float>((p[a] - center[a]) / scale);
        std::memcpy(mesh.Vertex(i) + MeshLayout::kPosition, p, sizeof p);
    }
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
        for (std::size_t i = 0; i < mesh.VertexCount(); ++i) {
            TurnUpAt(mesh.Vertex(i) + MeshLayout::kPosition, framing.up);
            TurnUpAt(mesh.Vertex(i) + MeshLayout::kNormal, framing.up);
        }
    if (framing.fit) Fit(mesh);
}
