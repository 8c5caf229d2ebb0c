#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "model/model.h"
#include "model/ply_reader.h"
#include "ply_test_files.h"

namespace {

// Regular octahedron about (1, 2, 3); kOutward lists its faces wound so that
// every right-handed normal points out.
const float kOctahedron[6][3] = {{2, 2, 3}, {0, 2, 3}, {1, 3, 3}, {1, 1, 3}, {1, 2, 4}, {1, 2, 2}};
const std::vector<std::vector<int32_t>> kOutward = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                                                    {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};

std::vector<std::vector<int32_t>> Reversed(std::vector<std::vector<int32_t>> faces)
{
    for (auto& face : faces)
        std::reverse(face.begin(), face.end());
    return faces;
}

// normalScale: 0 writes no normals; otherwise each file normal is the
// outward direction times normalScale.
std::string OctahedronFile(const std::vector<std::vector<int32_t>>& faces, float normalScale,
                           const char* normalType = "float")
{
    const bool normals = normalScale != 0.0f;
    std::string text =
        "ply\nformat ascii 1.0\nelement vertex 6\nproperty float x\nproperty float y\n"
        "property float z\n";
    if (normals)
        for (const char* name : {"nx", "ny", "nz"})
            text += std::string("property ") + normalType + " " + name + "\n";
    text += "element face " + std::to_string(faces.size()) +
            "\nproperty list uchar int vertex_indices\nend_header\n";
    for (const auto& p : kOctahedron) {
        text += std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]);
        if (normals)
            text += " " + std::to_string((p[0] - 1) * normalScale) + " " +
                    std::to_string((p[1] - 2) * normalScale) + " " +
                    std::to_string((p[2] - 3) * normalScale);
        text += "\n";
    }
    for (const auto& face : faces) {
        text += std::to_string(face.size());
        for (int32_t index : face)
            text += " " + std::to_string(index);
        text += "\n";
    }
    return text;
}

std::vector<std::vector<int32_t>> CornerOrders(const PlyMesh& mesh)
{
    std::vector<std::vector<int32_t>> faces;
    for (const PlyFace& face : mesh.faces)
        faces.emplace_back(mesh.Corners(face), mesh.Corners(face) + face.cornerCount);
    return faces;
}

// The dot product of each vertex normal with the direction from the centre.
std::vector<float> Outwardness(const PlyMesh& mesh)
{
    std::vector<float> dots;
    for (const PlyVertex& v : mesh.vertices)
        dots.push_back((v.position[0] - 1) * v.normal[0] + (v.position[1] - 2) * v.normal[1] +
                       (v.position[2] - 3) * v.normal[2]);
    return dots;
}

void ExpectRightSideOut(const PlyMesh& mesh, float normalLength)
{
    EXPECT_EQ(CornerOrders(mesh), kOutward);
    for (float dot : Outwardness(mesh))
        EXPECT_FLOAT_EQ(dot, normalLength);
    for (const PlyFace& face : mesh.faces) {
        const int32_t* corner = mesh.Corners(face);
        const float* p = mesh.vertices[corner[0]].position;
        const float* q = mesh.vertices[corner[1]].position;
        const float* r = mesh.vertices[corner[2]].position;
        const float centroid[3] = {(p[0] + q[0] + r[0]) / 3 - 1, (p[1] + q[1] + r[1]) / 3 - 2,
                                   (p[2] + q[2] + r[2]) / 3 - 3};
        EXPECT_GT(centroid[0] * face.normal[0] + centroid[1] * face.normal[1] +
                      centroid[2] * face.normal[2],
                  0.0f);
    }
}

PlyMesh Load(const std::string& name, const std::string& text)
{
    return ReadPly(WriteTestFile(name, text).c_str());
}

TEST(PlyOrientation, ClosedMeshWoundOutwardIsKept)
{
    ExpectRightSideOut(Load("ccw.ply", OctahedronFile(kOutward, 0)), 1.0f);
}

TEST(PlyOrientation, ClockwiseClosedMeshWithoutNormalsIsFlipped)
{
    ExpectRightSideOut(Load("cw.ply", OctahedronFile(Reversed(kOutward), 0)), 1.0f);
}

// Flipping turns each face's corners where they are: they stay stored face
// after face, which lets the model take the store over as it is.
TEST(PlyOrientation, FlippedCornersStayStoredFaceAfterFace)
{
    auto faces = Reversed(kOutward);
    faces.push_back({});
    faces.push_back({0, 1});
    faces.push_back({1, 2, 3, 4, 5});
    const std::string path = WriteTestFile("mixed_cw.ply", OctahedronFile(faces, 0));
    const PlyMesh mesh = ReadPly(path.c_str());
    ASSERT_EQ(CornerOrders(mesh).front(), kOutward.front());
    std::size_t next = 0;
    for (const PlyFace& face : mesh.faces) {
        EXPECT_EQ(face.firstCorner, next);
        next += face.cornerCount;
    }
    EXPECT_EQ(next, mesh.corners.size());
    const Model model(path);
    ASSERT_EQ(model.faces.records.size(), mesh.faces.size());
    for (std::size_t f = 0; f < mesh.faces.size(); ++f)
        EXPECT_EQ(model.faces.records[f].indices,
                  CornerIndices(mesh.Corners(mesh.faces[f]), mesh.faces[f].cornerCount));
}

// File normals are kept as read, not normalised; when they point inward they
// are negated, and face 0 decides whether the corner order is reversed.
TEST(PlyOrientation, InwardFileNormalsAreNegatedAndFacesMatchedToThem)
{
    ExpectRightSideOut(Load("in_ccw.ply", OctahedronFile(kOutward, -2.0f)), 2.0f);
    ExpectRightSideOut(Load("in_cw.ply", OctahedronFile(Reversed(kOutward), -2.0f)), 2.0f);
}

// Outward file normals are trusted: nothing is changed, not even a winding
// that disagrees with them.
TEST(PlyOrientation, OutwardFileNormalsLeaveEverythingAsRead)
{
    const PlyMesh mesh = Load("out_cw.ply", OctahedronFile(Reversed(kOutward), 0.5f));
    EXPECT_EQ(CornerOrders(mesh), Reversed(kOutward));
    for (float dot : Outwardness(mesh))
        EXPECT_FLOAT_EQ(dot, 0.5f);
}

// Normals typed double are not a recognised group: they are read, then
// replaced by computed unit normals.
TEST(PlyOrientation, AsciiDoubleNormalsAreRecomputed)
{
    ExpectRightSideOut(Load("double.ply", OctahedronFile(kOutward, -3.0f, "double")), 1.0f);
}

TEST(PlyNormals, VertexNormalIsTheNormalisedSumOfItsFaceNormals)
{
    // Vertex 0 of the octahedron touches four faces: the sum of their unit
    // normals (+-1, +-1, +-1) / sqrt(3) is (4 / sqrt(3), 0, 0).
    const PlyMesh mesh = Load("sum.ply", OctahedronFile(kOutward, 0));
    const float third = 1.0f / std::sqrt(3.0f);
    EXPECT_EQ(mesh.faces[0].normal[0], third);
    EXPECT_EQ(mesh.faces[0].normal[1], third);
    EXPECT_EQ(mesh.faces[0].normal[2], third);
    EXPECT_EQ(mesh.vertices[0].normal[0], 1.0f);
    EXPECT_EQ(mesh.vertices[0].normal[1], 0.0f);
    EXPECT_EQ(mesh.vertices[0].normal[2], 0.0f);
}

TEST(PlyNormals, QuadNormalComesFromItsFirstThreeCorners)
{
    const std::string file =
        "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\nproperty float y\n"
        "property float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n"
        "0 0 0\n2 0 0\n2 2 0\n0 2 5\n4 0 1 2 3\n";
    const Model model(WriteTestFile("quad.ply", file));
    ASSERT_EQ(model.faces.records[0].cornerCount, 4);
    const Vector3 n = model.faces.GetFaceNormal(0);
    EXPECT_EQ(std::fabs(n.z), 1.0f);
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.y, 0.0f);
}

// Faces with fewer than three corners have a zero normal and add nothing to
// the vertex normals; none of their missing corners is read.
TEST(PlyNormals, FacesWithFewerThanThreeCornersHaveZeroNormal)
{
    auto faces = kOutward;
    faces.push_back({0, 1});
    faces.push_back({4});
    faces.push_back({});
    const PlyMesh mesh = Load("short_faces.ply", OctahedronFile(faces, 0));
    ASSERT_EQ(mesh.faces.size(), 11u);
    for (std::size_t f = 8; f < 11; ++f)
        for (float c : mesh.faces[f].normal)
            EXPECT_EQ(c, 0.0f);
    for (float dot : Outwardness(mesh))
        EXPECT_FLOAT_EQ(dot, 1.0f);
    const Model model(WriteTestFile("short_faces_model.ply", OctahedronFile(faces, 0)));
    EXPECT_EQ(model.faces.records[10].cornerCount, 0);
    EXPECT_EQ(model.faces.GetFaceNormal(9).Length(), 0.0f);
}

}  // namespace
