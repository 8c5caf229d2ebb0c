#include "make_teapot/teapot_mesh.h"

#include <cmath>
#include <unordered_map>

namespace {

// Points closer than this are one vertex. Shared patch edges evaluate to the
// same points up to rounding (1e-15), while distinct grid points stay far
// more than 1e-6 apart even at n = 125.
constexpr double kWeldDistance = 1e-9;
constexpr double kCellSize = 1e-7;

struct CellHash {
    std::size_t operator()(const std::array<int64_t, 3>& c) const
    {
        const uint64_t h = static_cast<uint64_t>(c[0]) * 0x9E3779B97F4A7C15ull ^
                           static_cast<uint64_t>(c[1]) * 0xC2B2AE3D27D4EB4Full ^
                           static_cast<uint64_t>(c[2]) * 0x165667B19E3779F9ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

class Welder {
public:
    explicit Welder(std::vector<Point3>& points) : points(points) {}

    // The index of a point already seen within kWeldDistance, else of p as a new point.
    int32_t Index(const Point3& p)
    {
        const std::array<int64_t, 3> cell = CellOf(p);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dz = -1; dz <= 1; ++dz) {
                    const int32_t found = Find({cell[0] + dx, cell[1] + dy, cell[2] + dz}, p);
                    if (found >= 0) return found;
                }
        points.push_back(p);
        const auto index = static_cast<int32_t>(points.size() - 1);
        cells.emplace(cell, index);
        return index;
    }

private:
    static std::array<int64_t, 3> CellOf(const Point3& p)
    {
        return {std::llround(p.x / kCellSize), std::llround(p.y / kCellSize),
                std::llround(p.z / kCellSize)};
    }
    int32_t Find(const std::array<int64_t, 3>& cell, const Point3& p) const
    {
        const auto range = cells.equal_range(cell);
        for (auto it = range.first; it != range.second; ++it) {
            const Point3& q = points[static_cast<std::size_t>(it->second)];
            if (std::fabs(p.x - q.x) < kWeldDistance && std::fabs(p.y - q.y) < kWeldDistance &&
                std::fabs(p.z - q.z) < kWeldDistance)
                return it->second;
        }
        return -1;
    }

    std::vector<Point3>& points;
    std::unordered_multimap<std::array<int64_t, 3>, int32_t, CellHash> cells;
};

// Vertex indices of one patch's (n + 1) x (n + 1) grid points, row by row.
std::vector<int32_t> PatchGrid(const BezierPatches& data, std::size_t patch, int n, Welder& welder)
{
    std::vector<int32_t> grid;
    for (int row = 0; row <= n; ++row)
        for (int column = 0; column <= n; ++column)
            grid.push_back(welder.Index(EvaluatePatch(data, patch, static_cast<double>(column) / n,
                                                      static_cast<double>(row) / n)));
    return grid;
}

void AddTriangle(int32_t a, int32_t b, int32_t c, TriangleMesh& mesh)
{
    if (a != b && b != c && c != a) mesh.triangles.push_back({a, b, c});
}

void AddQuads(const std::vector<int32_t>& grid, int n, TriangleMesh& mesh)
{
    const auto at = [&grid, n](int row, int column) { return grid[row * (n + 1) + column]; };
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column) {
            AddTriangle(at(row, column), at(row, column + 1), at(row + 1, column + 1), mesh);
            AddTriangle(at(row, column), at(row + 1, column + 1), at(row + 1, column), mesh);
        }
}

// Cylindrical mapping about z: u runs from 0 on the +x side to 1 on the -x
// side and back, so it has no jump anywhere around; v is the height.
MeshVertex Textured(const Point3& p, double zLow, double zHigh)
{
    const double pi = std::acos(-1.0);
    const double u = std::fabs(std::atan2(p.y, p.x)) / pi;
    const double v = (p.z - zLow) / (zHigh - zLow);
    return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z),
            static_cast<float>(u), static_cast<float>(v)};
}

}  // namespace

TriangleMesh TessellatePatches(const BezierPatches& data, int n)
{
    TriangleMesh mesh;
    std::vector<Point3> points;
    Welder welder(points);
    for (std::size_t patch = 0; patch < data.patches.size(); ++patch)
        AddQuads(PatchGrid(data, patch, n, welder), n, mesh);
    double zLow = data.points.front().z;
    double zHigh = zLow;
    for (const Point3& p : data.points) {
        zLow = std::fmin(zLow, p.z);
        zHigh = std::fmax(zHigh, p.z);
    }
    for (const Point3& p : points)
        mesh.vertices.push_back(Textured(p, zLow, zHigh));
    return mesh;
}
