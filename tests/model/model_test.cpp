#include "model/model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "model/ply_reader.h"
#include "ply_test_files.h"

namespace {

TEST(VertexArray, PositionAndNormalMaskPutsNormalAtByte12OfA24ByteVertex)
{
    VertexArray array;
    array.Configure(nullptr, ATTRIB_POSITION | ATTRIB_NORMAL, 24, 3);
    const float normal[3] = {0.25f, -1.0f, 8.0f};
    EXPECT_TRUE(array.SetAttribute(normal, ATTRIB_NORMAL, 2));
    float stored[3];
    std::memcpy(stored, &array.data[24 * 2 + 12], sizeof stored);
    EXPECT_EQ(std::memcmp(stored, normal, sizeof normal), 0);
    uint32_t color = 0x12345678u;
    EXPECT_FALSE(array.GetAttribute(&color, ATTRIB_COLOR, 1));
    EXPECT_EQ(color, 0x12345678u);
}

TEST(VertexArray, TexCoordOnlyMaskPutsTexCoordAtOffset0)
{
    VertexArray array;
    array.Configure(nullptr, ATTRIB_TEXCOORD, 8, 4);
    const float uv[2] = {0.5f, 0.75f};
    EXPECT_TRUE(array.SetAttribute(uv, ATTRIB_TEXCOORD, 3));
    float stored[2];
    std::memcpy(stored, &array.data[8 * 3], sizeof stored);
    EXPECT_EQ(stored[0], 0.5f);
    EXPECT_EQ(stored[1], 0.75f);
    const float position[3] = {1.0f, 2.0f, 3.0f};
    EXPECT_FALSE(array.SetAttribute(position, ATTRIB_POSITION, 0));
}

bool SameBits(const Vector3& a, const Vector3& b)
{
    const float af[4] = {a.x, a.y, a.z, a.w};
    const float bf[4] = {b.x, b.y, b.z, b.w};
    return std::memcmp(af, bf, sizeof af) == 0;
}

// Polygons of every kind a file may hold: a quad, faces too short for a
// normal, a degenerate one and one with an index outside the vertices.
const std::vector<std::vector<int32_t>> kPolygons = {{0, 1, 2}, {},        {2, 3},   {3, 2, 0, 1},
                                                     {1, 1, 1}, {0, 9, 2}, {2, 1, 0}};

VertexArray FourPositions()
{
    const float positions[4][3] = {{0, 0, 0}, {1.5f, 0, 0}, {0, 1, 0.25f}, {-1, 3, 2}};
    VertexArray vertices;
    vertices.Configure(positions, ATTRIB_POSITION, 12, 4);
    return vertices;
}

void AddFace(FaceList& faces, const std::vector<int32_t>& corners)
{
    for (int32_t index : corners)
        faces.AddCorner(index);
    faces.EndFace(static_cast<int32_t>(corners.size()));
}

// A list built face after face, as the readers build one, is the list that
// Resize, SetFace of each face and ComputeFaceNormals make: while all faces
// have one corner count, and after a face of another count.
TEST(FaceList, FacesAddedInTurnMatchFacesSetOneByOne)
{
    const VertexArray vertices = FourPositions();
    std::vector<std::vector<int32_t>> trianglesFirst(3, {0, 1, 2});
    trianglesFirst.insert(trianglesFirst.end(), kPolygons.begin(), kPolygons.end());
    for (const auto& polygons : {kPolygons, trianglesFirst}) {
        const auto count = static_cast<int32_t>(polygons.size());
        FaceList oneByOne;
        oneByOne.Resize(count);
        FaceList added;
        for (int32_t f = 0; f < count; ++f) {
            const auto n = static_cast<int32_t>(polygons[f].size());
            oneByOne.SetFace(f, n, polygons[f].data());
            AddFace(added, polygons[f]);
        }
        oneByOne.ComputeFaceNormals(vertices);
        added.ComputeFaceNormals(vertices);
        ASSERT_EQ(added.count, count);
        ASSERT_EQ(added.records.size(), polygons.size());
        for (int32_t f = 0; f < count; ++f) {
            const Face& a = added.records[f];
            const Face& b = oneByOne.records[f];
            EXPECT_EQ(a.cornerCount, b.cornerCount) << "face " << f;
            EXPECT_EQ(a.indices, b.indices) << "face " << f;
            EXPECT_TRUE(SameBits(a.normal, b.normal)) << "face " << f;
            EXPECT_TRUE(SameBits(added.GetFaceNormal(f), b.normal)) << "face " << f;
        }
    }
    FaceList triangles;
    for (int32_t f = 0; f < 3; ++f)
        AddFace(triangles, std::vector<int32_t>(3, f));
    triangles.ComputeFaceNormals(vertices);
    EXPECT_EQ(triangles.records[2].indices, CornerIndices(std::vector<int32_t>(3, 2).data(), 3));
    EXPECT_EQ(triangles.GetFaceNormal(1).Length(), 0.0f);
}

// A face set again keeps its corners where it has as many as before, and
// moves them where it has another count; every other face keeps its own.
TEST(FaceList, AFaceSetAgainLeavesTheOtherFacesAsTheyWere)
{
    FaceList faces;
    faces.Resize(50);
    for (int32_t f = 0; f < 50; ++f) {
        const int32_t corners[3] = {f, f + 1, f + 2};
        faces.SetFace(f, 3, corners);
    }
    const int32_t quad[4] = {7, 6, 5, 4};
    faces.SetFace(20, 4, quad);
    const int32_t again[3] = {9, 9, 9};
    faces.SetFace(30, 3, again);
    for (int32_t f = 0; f < 50; ++f) {
        const int32_t corners[3] = {f, f + 1, f + 2};
        const CornerIndices expected = f == 20   ? CornerIndices(quad, 4)
                                       : f == 30 ? CornerIndices(again, 3)
                                                 : CornerIndices(corners, 3);
        EXPECT_EQ(faces.records[f].indices, expected) << "face " << f;
    }
}

std::string PointsFile(const std::string& name, const std::string& points, int count)
{
    return WriteTestFile(name, "ply\nformat ascii 1.0\nelement vertex " + std::to_string(count) +
                                   "\nproperty float x\nproperty float y\nproperty float z\n"
                                   "element face 0\nend_header\n" +
                                   points);
}

TEST(Model, BoundsOfTheExampleBox)
{
    const Model model(PointsFile("box.ply", "0 1 0\n-1 0.5 2\n3 0 -2\n1 0 1\n", 4));
    EXPECT_EQ(model.center.x, 1.0f);
    EXPECT_EQ(model.center.y, 0.5f);
    EXPECT_EQ(model.center.z, 0.0f);
    EXPECT_EQ(model.halfExtent, 2.0f);
}

TEST(Model, OneVertexIsItsOwnCentreWithZeroExtent)
{
    const Model model(PointsFile("point.ply", "0.25 -4 7\n", 1));
    EXPECT_EQ(model.center.x, 0.25f);
    EXPECT_EQ(model.center.y, -4.0f);
    EXPECT_EQ(model.center.z, 7.0f);
    EXPECT_EQ(model.halfExtent, 0.0f);
    EXPECT_EQ(model.faces.count, 0);
}

// Every file byte must survive the scaling by 1/255 and the packing: a
// channel that lands a hair under the byte would truncate one lower.
TEST(Model, EveryColourByteIsPackedExactly)
{
    std::string points;
    for (int b = 0; b < 256; ++b)
        points += "0 0 " + std::to_string(b) + " " + std::to_string(b) + " " +
                  std::to_string(255 - b) + " " + std::to_string(b / 2) + "\n";
    const std::string path = WriteTestFile(
        "bytes.ply",
        "ply\nformat ascii 1.0\nelement vertex 256\nproperty float x\nproperty float y\n"
        "property float z\nproperty uchar red\nproperty uchar green\nproperty uchar blue\n"
        "element face 0\nend_header\n" +
            points);
    const Model model(path);
    for (int b = 0; b < 256; ++b) {
        uint32_t color = 0;
        ASSERT_TRUE(model.vertices.GetAttribute(&color, ATTRIB_COLOR, b));
        EXPECT_EQ(color, 0xFF000000u | uint32_t(b) << 16 | uint32_t(255 - b) << 8 | uint32_t(b / 2))
            << "byte " << b;
    }
}

// A cube of triangles wound counter-clockwise seen from outside, or the other
// way round, which the reader turns; then a triangle too small for its normal
// to be scaled to unit length, and one of no area.
std::string CubeFile(bool clockwise)
{
    const std::vector<std::vector<int32_t>> quads = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                                     {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    std::vector<std::vector<int32_t>> faces;
    for (const auto& q : quads) {
        faces.push_back({q[0], q[1], q[2]});
        faces.push_back({q[0], q[2], q[3]});
    }
    if (clockwise)
        for (auto& face : faces)
            std::swap(face[0], face[2]);
    faces.push_back({8, 9, 10});
    faces.push_back({8, 9, 11});
    std::string text =
        "ply\nformat ascii 1.0\nelement vertex 12\nproperty float x\nproperty float y\n"
        "property float z\nelement face 14\nproperty list uchar int vertex_indices\nend_header\n"
        "-1 -1 -1\n1 -1 -1\n1 1 -1\n-1 1 -1\n-1 -1 1\n1 -1 1\n1 1 1\n-1 1 1\n"
        "0 0 0\n3e-23 0 0\n0 3e-23 0\n6e-23 0 0\n";
    for (const auto& face : faces)
        text += "3 " + std::to_string(face[0]) + " " + std::to_string(face[1]) + " " +
                std::to_string(face[2]) + "\n";
    return text;
}

// The model keeps the reader's face normals only where they are the ones the
// face list computes: recomputing them all changes no bit.
TEST(Model, FaceNormalsAreTheOnesTheFaceListComputes)
{
    for (const bool clockwise : {false, true}) {
        Model model(WriteTestFile("cube.ply", CubeFile(clockwise)));
        ASSERT_EQ(model.faces.count, 14);
        std::vector<Vector3> loaded;
        for (const Face& face : model.faces.records)
            loaded.push_back(face.normal);
        model.faces.ComputeFaceNormals(model.vertices);
        for (int32_t f = 0; f < model.faces.count; ++f)
            EXPECT_TRUE(SameBits(loaded[f], model.faces.records[f].normal))
                << "face " << f << ", clockwise " << clockwise;
    }
}

TEST(Model, CarriesAllFourAttributesIn36ByteVertices)
{
    const Model model(PointsFile("layout.ply", "1 2 3\n4 5 6\n", 2));
    EXPECT_EQ(model.vertices.attributeMask, 15);
    EXPECT_EQ(model.vertices.stride, 36);
    EXPECT_EQ(model.vertices.data.size(), 72u);
    float z = 0.0f;
    std::memcpy(&z, &model.vertices.data[36 + 8], sizeof z);
    EXPECT_EQ(z, 6.0f);
}

}  // namespace
