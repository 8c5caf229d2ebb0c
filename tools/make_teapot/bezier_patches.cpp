#include "make_teapot/bezier_patches.h"

#include <fstream>
#include <sstream>

namespace {

// The file without its comment lines, as one stream of words.
std::istringstream Uncommented(std::ifstream& file)
{
    std::string text;
    for (std::string line; std::getline(file, line);)
        if (line.empty() || line[0] != '#') text += line + '\n';
    return std::istringstream(text);
}

bool ReadCount(std::istream& in, const char* keyword, std::size_t& count)
{
    std::string word;
    return static_cast<bool>(in >> word >> count) && word == keyword;
}

void CubicBernstein(double t, double b[4])
{
    const double s = 1.0 - t;
    b[0] = s * s * s;
    b[1] = 3.0 * t * s * s;
    b[2] = 3.0 * t * t * s;
    b[3] = t * t * t;
}

}  // namespace

bool ReadBezierPatches(const std::string& path, BezierPatches& out, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::istringstream in = Uncommented(file);
    std::size_t count = 0;
    bool ok = ReadCount(in, "patches", count);
    out.patches.assign(ok ? count : 0, {});
    for (auto& patch : out.patches)
        for (int& index : patch)
            ok = ok && in >> index;
    ok = ok && ReadCount(in, "points", count);
    out.points.assign(ok ? count : 0, {});
    for (Point3& p : out.points)
        ok = ok && in >> p.x >> p.y >> p.z;
    for (const auto& patch : out.patches)
        for (int index : patch)
            ok = ok && index >= 0 && static_cast<std::size_t>(index) < out.points.size();
    if (!ok) error = path + " is not a patch file";
    return ok;
}

Point3 EvaluatePatch(const BezierPatches& data, std::size_t patch, double u, double v)
{
    double bu[4];
    double bv[4];
    CubicBernstein(u, bu);
    CubicBernstein(v, bv);
    Point3 sum;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            const Point3& p = data.points[data.patches[patch][row * 4 + column]];
            const double w = bv[row] * bu[column];
            sum.x += w * p.x;
            sum.y += w * p.y;
            sum.z += w * p.z;
        }
    return sum;
}
