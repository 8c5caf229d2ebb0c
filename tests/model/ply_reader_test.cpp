#include "model/ply_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/model.h"
#include "ply_test_files.h"

namespace {

// A tetrahedron wound so that every right-handed face normal points out.
struct TestVertex {
    float x, y, z;
    uint8_t red, green, blue;
    float u, v;
};
const TestVertex kTetra[4] = {{0, 0, 0, 255, 128, 0, 0.1f, 0.9f},
                              {1.5f, 0, 0, 0, 0, 0, 1, 0},
                              {0, 1, 0, 7, 77, 177, -0.25f, 0.5f},
                              {0, 0, 2.25f, 255, 255, 255, 0.75f, 2}};
const int kTetraFaces[4][3] = {{1, 2, 3}, {0, 2, 1}, {0, 1, 3}, {0, 3, 2}};

std::string TetraHeader(const std::string& encoding)
{
    return "ply\nformat " + encoding +
           " 1.0\nelement vertex 4\nproperty float x\nproperty float y\nproperty float z\n"
           "property uchar red\nproperty uchar green\nproperty uchar blue\n"
           "property float u\nproperty float v\n"
           "element face 4\nproperty list uchar int vertex_indices\nend_header\n";
}

std::string AsciiTetra()
{
    std::string text = TetraHeader("ascii");
    for (const TestVertex& p : kTetra)
        text += std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z) + " " +
                std::to_string(p.red) + " " + std::to_string(p.green) + " " +
                std::to_string(p.blue) + " " + std::to_string(p.u) + " " + std::to_string(p.v) +
                "\n";
    for (const auto& f : kTetraFaces)
        text += "3 " + std::to_string(f[0]) + " " + std::to_string(f[1]) + " " +
                std::to_string(f[2]) + "\n";
    return text;
}

std::string BinaryTetra(bool bigEndian)
{
    BinaryBody body(bigEndian);
    for (const TestVertex& p : kTetra)
        body.Float(p.x)
            .Float(p.y)
            .Float(p.z)
            .Byte(p.red)
            .Byte(p.green)
            .Byte(p.blue)
            .Float(p.u)
            .Float(p.v);
    for (const auto& f : kTetraFaces)
        body.Byte(3).Int(f[0]).Int(f[1]).Int(f[2]);
    return TetraHeader(bigEndian ? "binary_big_endian" : "binary_little_endian") + body.Bytes();
}

void ExpectSameModel(const Model& a, const Model& b)
{
    EXPECT_EQ(a.vertices.data, b.vertices.data);
    ASSERT_EQ(a.faces.count, b.faces.count);
    for (int32_t i = 0; i < a.faces.count; ++i) {
        EXPECT_EQ(a.faces.records[i].indices, b.faces.records[i].indices);
        EXPECT_EQ(a.faces.GetFaceNormal(i).x, b.faces.GetFaceNormal(i).x);
        EXPECT_EQ(a.faces.GetFaceNormal(i).y, b.faces.GetFaceNormal(i).y);
        EXPECT_EQ(a.faces.GetFaceNormal(i).z, b.faces.GetFaceNormal(i).z);
    }
    EXPECT_EQ(a.center.x, b.center.x);
    EXPECT_EQ(a.halfExtent, b.halfExtent);
}

TEST(ReadPly, AsciiAndBothBinaryEncodingsLoadTheSameModel)
{
    const Model ascii(WriteTestFile("tetra_ascii.ply", AsciiTetra()));
    const Model little(WriteTestFile("tetra_le.ply", BinaryTetra(false)));
    const Model big(WriteTestFile("tetra_be.ply", BinaryTetra(true)));
    ExpectSameModel(ascii, little);
    ExpectSameModel(ascii, big);

    // And that model is the file's content, not three equal misreadings.
    for (int i = 0; i < 4; ++i) {
        float p[3];
        float t[2];
        uint32_t color = 0;
        ascii.vertices.GetAttribute(p, ATTRIB_POSITION, i);
        ascii.vertices.GetAttribute(t, ATTRIB_TEXCOORD, i);
        ascii.vertices.GetAttribute(&color, ATTRIB_COLOR, i);
        EXPECT_EQ(p[0], kTetra[i].x);
        EXPECT_EQ(p[2], kTetra[i].z);
        EXPECT_EQ(t[0], kTetra[i].u);
        EXPECT_EQ(t[1], kTetra[i].v);
        EXPECT_EQ(color, 0xFF000000u | kTetra[i].red << 16 | kTetra[i].green << 8 | kTetra[i].blue);
    }
    for (int f = 0; f < 4; ++f)
        EXPECT_EQ(ascii.faces.records[f].indices, CornerIndices(kTetraFaces[f], 3));
}

std::string PositionsOnlyHeader(const std::string& format, int vertices, int faces)
{
    return "ply\nformat " + format + "\nelement vertex " + std::to_string(vertices) +
           "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
           std::to_string(faces) + "\nproperty list uchar int vertex_indices\nend_header\n";
}

const char* const kTriangleBody = "0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";

TEST(ReadPly, AbsentGroupsGiveZeroTexCoordAndWhite)
{
    const PlyMesh mesh = ReadPly(
        WriteTestFile("bare.ply", PositionsOnlyHeader("ascii 1.0", 3, 1) + kTriangleBody).c_str());
    ASSERT_EQ(mesh.vertices.count, 3);
    for (int32_t i = 0; i < 3; ++i) {
        const VertexValues v = VertexAt(mesh.vertices, i);
        EXPECT_EQ(v.texCoord[0], 0.0f);
        EXPECT_EQ(v.texCoord[1], 0.0f);
        EXPECT_EQ(v.color, 0xFFFFFFFFu);
    }
    const Model model(
        WriteTestFile("bare_model.ply", PositionsOnlyHeader("ascii 1.0", 3, 1) + kTriangleBody));
    uint32_t color = 0;
    model.vertices.GetAttribute(&color, ATTRIB_COLOR, 2);
    EXPECT_EQ(color, 0xFFFFFFFFu);
}

TEST(ReadPly, VersionCommentsAndRepeatedBlanksAreAccepted)
{
    const std::string file =
        "ply\nformat ascii 2.0\ncomment made by hand\ncomment second line\n"
        "obj_info anything\nelement vertex 3\nproperty float x\nproperty float y\n"
        "property   float z\ncomment between groups\nelement face 1\n"
        "property list uchar int vertex_indices\nelement extra 5\nproperty int flag\nend_header\n";
    const PlyMesh mesh = ReadPly(WriteTestFile("comments.ply", file + kTriangleBody).c_str());
    ASSERT_EQ(mesh.faces.count, 1);
    EXPECT_EQ(VertexAt(mesh.vertices, 1).position[0], 1.0f);
}

TEST(ReadPly, ColourGroupNamedRAndLargeAsciiValuesWrapModulo256)
{
    const std::string file =
        "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
        "property float z\nproperty uchar r\nproperty uchar g\nproperty uchar b\n"
        "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
        "0 0 0 300 256 -1\n1 0 0 1 2 3\n0 1 0 4 5 6\n3 0 1 2\n";
    const PlyMesh mesh = ReadPly(WriteTestFile("rgb.ply", file).c_str());
    // Red 44, green 0, blue 255; then 4, 5, 6.
    EXPECT_EQ(VertexAt(mesh.vertices, 0).color, 0xFF2C00FFu);
    EXPECT_EQ(VertexAt(mesh.vertices, 2).color, 0xFF040506u);
}

TEST(ReadPly, GroupsInAnotherOrderFillTheSameFields)
{
    const std::string file =
        "ply\nformat ascii 1.0\nelement vertex 3\nproperty float u\nproperty float v\n"
        "property float confidence\nproperty float x\nproperty float y\nproperty float z\n"
        "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
        "0.5 0.25 7 0 0 0\n1 1 8 1 0 0\n0 0 9 0 1 0\n3 0 1 2\n";
    const PlyMesh mesh = ReadPly(WriteTestFile("order.ply", file).c_str());
    // The confidence between them is read and not carried.
    EXPECT_EQ(VertexAt(mesh.vertices, 0).texCoord[0], 0.5f);
    EXPECT_EQ(VertexAt(mesh.vertices, 0).texCoord[1], 0.25f);
    EXPECT_EQ(VertexAt(mesh.vertices, 1).position[0], 1.0f);
    EXPECT_EQ(VertexAt(mesh.vertices, 2).position[1], 1.0f);
}

// The reader consumes the whole line end after "end_header": "\n", "\r\n", or
// a lone "\r" in a file whose lines all end so. The body here starts with the
// byte 0x0A, which must stay part of the first float.
class HeaderLineEnds : public testing::TestWithParam<const char*> {};

TEST_P(HeaderLineEnds, BinaryBodyStartsRightAfterTheHeaderLine)
{
    const std::string lineEnd = GetParam();
    std::string header = PositionsOnlyHeader("binary_little_endian 1.0", 3, 1);
    for (std::size_t at = header.find('\n'); at != std::string::npos;
         at = header.find('\n', at + lineEnd.size()))
        header.replace(at, 1, lineEnd);
    float first = 0.0f;
    const uint32_t bits = 0x3F80000Au;  // 1.0000012, first byte 0x0A in little-endian order
    std::memcpy(&first, &bits, sizeof first);
    BinaryBody body(false);
    body.Float(first).Float(0).Float(0).Float(0).Float(0).Float(1).Float(0).Float(1).Float(0);
    body.Byte(3).Int(0).Int(1).Int(2);
    const PlyMesh mesh = ReadPly(WriteTestFile("line_end.ply", header + body.Bytes()).c_str());
    EXPECT_EQ(VertexAt(mesh.vertices, 0).position[0], first);
    EXPECT_EQ(VertexAt(mesh.vertices, 1).position[2], 1.0f);
    EXPECT_EQ(VertexAt(mesh.vertices, 2).position[1], 1.0f);
    // The winding may be turned.
    const CornerIndices first3 = mesh.faces.records[0].indices;
    std::vector<int32_t> corners(first3.begin(), first3.end());
    std::sort(corners.begin(), corners.end());
    EXPECT_EQ(corners, (std::vector<int32_t>{0, 1, 2}));
}

INSTANTIATE_TEST_SUITE_P(ReadPly, HeaderLineEnds, testing::Values("\n", "\r\n", "\r"));

TEST(ReadPly, PathsLongerThan255CharactersLoad)
{
    // A file name alone may not exceed 255 bytes, so the path goes through folders.
    const std::string folder =
        WriteTestFile("long_" + std::string(200, 'd'), "") + ".dir/" + std::string(200, 'e');
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/mesh.ply";
    std::ofstream(path) << PositionsOnlyHeader("ascii 1.0", 3, 1) + kTriangleBody;
    ASSERT_GT(path.size(), 400u);
    const Model model(path);
    EXPECT_EQ(model.fileName, path);
    EXPECT_EQ(model.faces.count, 1);
}

}  // namespace
