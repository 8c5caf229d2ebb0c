// OBJ through tinyobjloader and the STL reader.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "import_test_support.h"
#include "model/ply_writer.h"
#include "ply_test_files.h"

namespace {

std::string BinaryStl(const std::string& header80, int facets)
{
    std::string bytes = header80;
    bytes.resize(80, ' ');
    const uint32_t n = static_cast<uint32_t>(facets);
    bytes.append(reinterpret_cast<const char*>(&n), 4);
    const float corners[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const int faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    for (int f = 0; f < facets; ++f) {
        bytes.append(12, '\0');  // a zero facet normal, as many writers leave it
        for (int c : faces[f % 4])
            bytes.append(reinterpret_cast<const char*>(corners[c]), 12);
        bytes.append(2, '\0');
    }
    return bytes;
}

TEST(StlReader, BinaryFileWhoseHeaderStartsWithSolidIsToldByItsSize)
{
    MeshSummary summary;
    const Model m = ImportMesh(WriteTestFile("solid.stl", BinaryStl("solid but binary", 4)),
                               MeshFraming{}, &summary);
    EXPECT_EQ(summary.format, "STL binary");
    EXPECT_EQ(m.vertices.count, 12);
    EXPECT_EQ(m.faces.count, 4);
    // Wound outward: the orientation step keeps it, every face normal outward.
    EXPECT_GT(m.faces.GetFaceNormal(3).x, 0.0f);
}

TEST(StlReader, AsciiFileWithSeveralSolidsAndBinaryFileGiveTheSameModel)
{
    std::string ascii = "solid one two\n";
    const char* facets[4] = {"0 0 0|0 1 0|1 0 0", "0 0 0|1 0 0|0 0 1", "0 0 0|0 0 1|0 1 0",
                             "1 0 0|0 1 0|0 0 1"};
    for (int f = 0; f < 4; ++f) {
        if (f == 2) ascii += "endsolid one\nsolid\n";
        std::string corners = facets[f];
        ascii += "  facet normal 0 0 0\r\n    outer loop\n";
        for (std::size_t bar; (bar = corners.find('|')) != std::string::npos;)
            corners[bar] = '\n';
        std::size_t start = 0;
        for (int c = 0; c < 3; ++c) {
            const std::size_t end = corners.find('\n', start);
            ascii += "      vertex " + corners.substr(start, end - start) + "\n";
            start = end + 1;
        }
        ascii += "    endloop\n  endfacet\n";
    }
    ascii += "endsolid\n";
    MeshSummary summary;
    const Model fromAscii = ImportMesh(WriteTestFile("a.stl", ascii), MeshFraming{}, &summary);
    EXPECT_EQ(summary.format, "STL ASCII");
    EXPECT_TRUE(SameModel(fromAscii, Imported(WriteTestFile("b.stl", BinaryStl("", 4)))));
}

TEST(ObjReader, MergesGroupsResolvesNegativeIndicesAndSharesEqualCorners)
{
    const std::string obj =
        "# a tetrahedron in two groups\nmtllib none.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n"
        "vt 0.5 0.25\ng first\nusemtl nothing\nf 1/1 3/1 2/1\nf -4/-1 -3/-1 -1/-1\n"
        "o second\nf 1 4 3\nf 2 3 4\n";
    MeshSummary summary;
    const Model m = ImportMesh(WriteTestFile("t.obj", obj), MeshFraming{}, &summary);
    // Corners with and without a texture coordinate are different vertices.
    EXPECT_EQ(m.vertices.count, 4 + 4);
    EXPECT_EQ(m.faces.count, 4);
    float uv[2];
    m.vertices.GetAttribute(uv, ATTRIB_TEXCOORD, 0);
    EXPECT_EQ(uv[0], 0.5f);
    EXPECT_EQ(summary.kept, (std::vector<std::string>{"positions", "texture coordinates"}));
}

TEST(ObjReader, KeepsNormalsAndColoursWhenTheFileHasThem)
{
    const std::string obj =
        "v 0 0 0 1 0 0\nv 1 0 0 0 1 0\nv 0 1 0 0 0 1\nvn 0 0 1\n"
        "f 1//1 2//1 3//1\n";
    MeshSummary summary;
    const Model m = ImportMesh(WriteTestFile("c.obj", obj), MeshFraming{}, &summary);
    uint32_t color = 0;
    m.vertices.GetAttribute(&color, ATTRIB_COLOR, 1);
    EXPECT_EQ(color, 0xFF00FF00u);
    float n[3];
    m.vertices.GetAttribute(n, ATTRIB_NORMAL, 2);
    EXPECT_EQ(n[2], 1.0f);  // a flat triangle: the test cannot decide, the file's normal stays
    EXPECT_EQ(summary.kept, (std::vector<std::string>{"positions", "normals", "colours"}));
}

TEST(ObjReader, FileOfPointsIsAPointCloud)
{
    MeshSummary summary;
    const Model m =
        ImportMesh(WriteTestFile("p.obj", "v 0 0 0\nv 1 2 3\np 1 2\n"), MeshFraming{}, &summary);
    EXPECT_TRUE(summary.pointCloud);
    EXPECT_EQ(m.faces.count, 2);
    EXPECT_EQ(m.faces.records[1].cornerCount, 3);
    EXPECT_EQ(m.faces.records[1].indices[2], 1);
}

}  // namespace
