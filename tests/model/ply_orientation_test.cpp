#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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
    for (const Face& face : mesh.faces.records)
        faces.emplace_back(face.indices.begin(), face.indices.end());
    return faces;
}

// The dot product of each vertex normal with the direction from the centre.
std::vector<float> Outwardness(const PlyMesh& mesh)
{
    std::vector<float> dots;
    for (int32_t i = 0; i < mesh.vertices.count; ++i) {
        const VertexValues v = VertexAt(mesh.vertices, i);
        dots.push_back((v.position[0] - 1) * v.normal[0] + (v.position[1] - 2) * v.normal[1] +
                       (v.position[2] - 3) * v.normal[2]);
    }
    return dots;
}

void ExpectRightSideOut(const PlyMesh& mesh, float normalLength)
{
    EXPECT_EQ(CornerOrders(mesh), kOutward);
    for (float dot : Outwardness(mesh))
        EXPECT_FLOAT_EQ(dot, normalLength);
    for (const Face& face : mesh.faces.records) {
        const VertexValues a = VertexAt(mesh.vertices, face.indices[0]);
        const VertexValues b = VertexAt(mesh.vertices, face.indices[1]);
        const VertexValues c = VertexAt(mesh.vertices, face.indices[2]);
        const float *p = a.position, *q = b.position, *r = c.position;
        const float centroid[3] = {(p[0] + q[0] + r[0]) / 3 - 1, (p[1] + q[1] + r[1]) / 3 - 2,
                                   (p[2] + q[2] + r[2]) / 3 - 3};
        EXPECT_GT(
            centroid[0] * face.normal.x + centroid[1] * face.normal.y + centroid[2] * face.normal.z,
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

// Flipping turns each face's corners where they are, and each face's normal
// is then the one the face list computes for its new corner order: exactly
// that, signs of zeros included, and not the negated normal of the old order.
TEST(PlyOrientation, FlippedFacesGetTheNormalsOfTheirNewCornerOrder)
{
    auto faces = Reversed(kOutward);
    faces.push_back({});
    faces.push_back({0, 1});
    faces.push_back({1, 2, 3, 4, 5});
    faces.push_back({0, 2, 1});  // across the equator: normal (+0, +0, 1), turned (+0, -0, -1)
    const std::string path = WriteTestFile("mixed_cw.ply", OctahedronFile(faces, 0));
    const PlyMesh mesh = ReadPly(path.c_str());
    const std::vector<std::vector<int32_t>> flipped = CornerOrders(mesh);
    ASSERT_EQ(flipped.front(), kOutward.front());
    FaceList computed;
    computed.Resize(mesh.faces.count);
    for (int32_t f = 0; f < mesh.faces.count; ++f)
        computed.SetFace(f, static_cast<int32_t>(flipped[f].size()), flipped[f].data());
    computed.ComputeFaceNormals(mesh.vertices);
    for (int32_t f = 0; f < mesh.faces.count; ++f) {
        const Vector3 a = mesh.faces.GetFaceNormal(f), b = computed.GetFaceNormal(f);
        const float bitsA[3] = {a.x, a.y, a.z}, bitsB[3] = {b.x, b.y, b.z};
        EXPECT_EQ(std::memcmp(bitsA, bitsB, sizeof bitsA), 0) << "face " << f;
    }
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
    EXPECT_EQ(mesh.faces.GetFaceNormal(0).x, third);
    EXPECT_EQ(mesh.faces.GetFaceNormal(0).y, third);
    EXPECT_EQ(mesh.faces.GetFaceNormal(0).z, third);
    EXPECT_EQ(VertexAt(mesh.vertices, 0).normal[0], 1.0f);
    EXPECT_EQ(VertexAt(mesh.vertices, 0).normal[1], 0.0f);
    EXPECT_EQ(VertexAt(mesh.vertices, 0).normal[2], 0.0f);
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
    ASSERT_EQ(mesh.faces.count, 11);
    for (int32_t f = 8; f < 11; ++f)
        EXPECT_EQ(mesh.faces.GetFaceNormal(f).Length(), 0.0f);
    for (float dot : Outwardness(mesh))
        EXPECT_FLOAT_EQ(dot, 1.0f);
    const Model model(WriteTestFile("short_faces_model.ply", OctahedronFile(faces, 0)));
    EXPECT_EQ(model.faces.records[10].cornerCount, 0);
    EXPECT_EQ(model.faces.GetFaceNormal(9).Length(), 0.0f);
}

}  // namespace
