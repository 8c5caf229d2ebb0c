#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/model.h"
#include "ply_test_files.h"

namespace {

const char* const kTeapot = "data/teapot.ply";

TEST(Teapot, CommittedFileIsWhatTheToolMakes)
{
    const std::string made = WriteTestFile("teapot_made.ply", "");
    const std::string command =
        std::string(ZBUFFER_MAKE_TEAPOT) + " 10 ascii data/teapot-patches.txt " + made;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string committed = ReadWholeFile(kTeapot);
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(ReadWholeFile(made) == committed) << made << " differs from " << kTeapot;
}

struct Triangle {
    std::array<std::array<double, 3>, 3> p;
};

std::array<double, 3> Sub(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
std::array<double, 3> Cross(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

std::vector<Triangle> Triangles(const Model& model)
{
    std::vector<Triangle> triangles;
    for (const Face& face : model.faces.records) {
        Triangle t;
        for (int c = 0; c < 3; ++c) {
            float p[3] = {};
            EXPECT_TRUE(model.vertices.GetAttribute(p, ATTRIB_POSITION, face.indices[c]));
            t.p[c] = {p[0], p[1], p[2]};
        }
        triangles.push_back(t);
    }
    return triangles;
}

// The solid angle t subtends at p, positive when p sees t's back (the side
// away from its right-handed normal).
double SolidAngle(const std::array<double, 3>& p, const Triangle& t)
{
    const auto a = Sub(t.p[0], p);
    const auto b = Sub(t.p[1], p);
    const auto c = Sub(t.p[2], p);
    const double la = std::sqrt(Dot(a, a));
    const double lb = std::sqrt(Dot(b, b));
    const double lc = std::sqrt(Dot(c, c));
    const double below = la * lb * lc + Dot(a, b) * lc + Dot(a, c) * lb + Dot(b, c) * la;
    return 2.0 * std::atan2(Dot(a, Cross(b, c)), below);
}

// Part of each face: faces that share a vertex belong to the same part
// (teapot, lid and spout here).
std::vector<int> PartOfEachFace(const Model& model)
{
    std::vector<int> root(static_cast<std::size_t>(model.vertices.count));
    for (std::size_t i = 0; i < root.size(); ++i)
        root[i] = static_cast<int>(i);
    const std::function<int(int)> find = [&root, &find](int i) {
        return root[i] == i ? i : root[i] = find(root[i]);
    };
    for (const Face& face : model.faces.records)
        for (int32_t index : face.indices)
            root[find(index)] = find(face.indices[0]);
    std::vector<int> part;
    for (const Face& face : model.faces.records)
        part.push_back(find(face.indices[0]));
    return part;
}

// Each edge that two faces share runs one way in one face and the other way
// in the other: the winding is consistent across every patch border.
TEST(Teapot, NeighbouringFacesAreWoundAlike)
{
    const Model model(kTeapot);
    std::set<std::pair<int32_t, int32_t>> edges;
    int repeated = 0;
    for (const Face& face : model.faces.records)
        for (int c = 0; c < face.cornerCount; ++c)
            if (!edges.insert({face.indices[c], face.indices[(c + 1) % face.cornerCount]}).second)
                ++repeated;
    EXPECT_EQ(repeated, 0);
}

// The generalised winding number of a part (the solid angle it subtends, over
// 4 pi) rises by one from the front of a face to its back. For a part wound
// outward the back is inside, where the number is near 1, and lower only close
// to the part's openings; a part wound inside out gives 0 or less there.
TEST(Teapot, LoadsRightSideOut)
{
    const Model model(kTeapot);
    ASSERT_EQ(model.faces.count, 6320);
    const std::vector<Triangle> triangles = Triangles(model);
    const std::vector<int> part = PartOfEachFace(model);
    const double pi = std::acos(-1.0);
    int insideOut = 0;
    for (std::size_t f = 0; f < triangles.size(); ++f) {
        const Triangle& face = triangles[f];
        const auto n = Cross(Sub(face.p[1], face.p[0]), Sub(face.p[2], face.p[0]));
        const double step = 1e-4 / std::sqrt(Dot(n, n));
        std::array<double, 3> behind;
        for (int i = 0; i < 3; ++i)
            behind[i] = (face.p[0][i] + face.p[1][i] + face.p[2][i]) / 3 - step * n[i];
        double angle = 0.0;
        for (std::size_t t = 0; t < triangles.size(); ++t)
            if (part[t] == part[f]) angle += SolidAngle(behind, triangles[t]);
        if (!(angle / (4 * pi) > 0.5)) ++insideOut;
    }
    EXPECT_EQ(insideOut, 0);
}

// The orientation step found the file right side out and kept its winding.
TEST(Teapot, ReaderKeepsTheFileWinding)
{
    const Model model(kTeapot);
    std::ifstream file(kTeapot);
    std::string line;
    int vertexLines = 0;
    while (std::getline(file, line) && line != "end_header")
        if (line.rfind("element vertex ", 0) == 0) vertexLines = std::stoi(line.substr(15));
    for (int i = 0; i < vertexLines; ++i)
        std::getline(file, line);
    for (const Face& face : model.faces.records) {
        ASSERT_TRUE(std::getline(file, line));
        ASSERT_EQ(line, "3 " + std::to_string(face.indices[0]) + " " +
                            std::to_string(face.indices[1]) + " " +
                            std::to_string(face.indices[2]));
    }
}

// Patches that share an edge share its vertices, so each point of the surface
// has one smooth normal, and that normal agrees with every face around it.
TEST(Teapot, SmoothNormalsHaveNoSeams)
{
    const Model model(kTeapot);
    std::vector<std::array<float, 3>> positions(static_cast<std::size_t>(model.vertices.count));
    for (int32_t i = 0; i < model.vertices.count; ++i)
        model.vertices.GetAttribute(positions[i].data(), ATTRIB_POSITION, i);
    std::sort(positions.begin(), positions.end());
    EXPECT_EQ(std::adjacent_find(positions.begin(), positions.end()), positions.end())
        << "two vertices at one position";
    int disagreeing = 0;
    for (int32_t f = 0; f < model.faces.count; ++f) {
        const Vector3 faceNormal = model.faces.GetFaceNormal(f);
        for (int32_t index : model.faces.records[f].indices) {
            float n[3];
            model.vertices.GetAttribute(n, ATTRIB_NORMAL, index);
            if (!(Vector3(n[0], n[1], n[2]).Dot(faceNormal) > 0.0f)) ++disagreeing;
        }
    }
    EXPECT_EQ(disagreeing, 0);
}

}  // namespace
