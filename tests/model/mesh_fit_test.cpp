// Fitting and turning the up axis, before anything is computed from the positions.
#include <gtest/gtest.h>

#include <string>

#include "import_test_support.h"
#include "model/mesh_fit.h"
#include "model/ply_writer.h"
#include "ply_test_files.h"

namespace {

// A tetrahedron far from the origin, 4 x 2 x 1 units, wound outward.
const std::string kFarTetra = PlyFileHeader("ascii", "4", "4") +
                              "100 200 300\n104 200 300\n100 202 300\n100 200 301\n"
                              "3 0 2 1\n3 0 1 3\n3 0 3 2\n3 1 2 3\n";

Vector3 Position(const Model& m, int32_t i)
{
    float p[3];
    m.vertices.GetAttribute(p, ATTRIB_POSITION, i);
    return {p[0], p[1], p[2]};
}

TEST(MeshFit, FitCentresTheBoxOnTheOriginWithLargestHalfExtentOne)
{
    MeshFraming framing;
    framing.fit = true;
    const std::string path = WriteTestFile("far.ply", kFarTetra);
    for (const Model& m : {ImportMesh(path, framing), LoadFramedPly(path, framing)}) {
        EXPECT_EQ(m.halfExtent, 1.0f);
        EXPECT_EQ(m.center.x, 0.0f);
        EXPECT_EQ(m.center.y, 0.0f);
        EXPECT_EQ(m.center.z, 0.0f);
        EXPECT_EQ(Position(m, 1).x, 1.0f);
        EXPECT_EQ(Position(m, 0).x, -1.0f);
        EXPECT_EQ(Position(m, 2).y, 0.5f);
        EXPECT_EQ(Position(m, 3).z, 0.25f);
    }
}

TEST(MeshFit, WithoutTurningOrFittingTheFramedCanonicalReaderIsTheCanonicalReader)
{
    const std::string path = WriteTestFile("far.ply", kFarTetra);
    EXPECT_TRUE(SameModel(LoadFramedPly(path, MeshFraming{}), Model(path)));
    EXPECT_TRUE(
        SameModel(LoadFramedPly("data/teapot.ply", MeshFraming{}), Model("data/teapot.ply")));
}

// Each axis goes to +z by a rotation: the box turns with it, and the mesh
// stays right side out (a mirror would turn it inside out, then back).
TEST(MeshFit, UpAxisTurnsToZByARotationKeepingTheMeshRightSideOut)
{
    const std::string path = WriteTestFile("far.ply", kFarTetra);
    const Model plain = Imported(path);
    struct Case {
        const char* word;
        float x, y, z;  // where vertex 1, +4 along x from vertex 0, lands relative to it
    } cases[] = {{"x", 0, 0, 4},  {"-x", 0, 0, -4}, {"y", 4, 0, 0},
                 {"-y", 4, 0, 0}, {"z", 4, 0, 0},   {"-z", 4, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        MeshFraming framing;
        ASSERT_TRUE(ParseUpAxis(c.word, framing.up));
        const Model m = ImportMesh(path, framing);
        const Vector3 d = Position(m, 1) - Position(m, 0);
        EXPECT_EQ(d.x, c.x);
        EXPECT_EQ(d.y, c.y);
        EXPECT_EQ(d.z, c.z);
        // Same corner order as unturned: a rotation keeps the winding outward.
        for (int32_t f = 0; f < 4; ++f)
            EXPECT_TRUE(plain.faces.records[f].indices == m.faces.records[f].indices);
    }
    UpAxis axis = UpAxis::Z;
    EXPECT_FALSE(ParseUpAxis("Y", axis));
    EXPECT_FALSE(ParseUpAxis("+y", axis));
}

TEST(MeshFit, SinglePointMovesToTheOriginWithoutScaling)
{
    MeshFraming framing;
    framing.fit = true;
    const Model m =
        ImportMesh(WriteTestFile("one.ply", "ply\nformat ascii 1.0\nelement vertex 1\n" +
                                                std::string(kPlyPositions) + "end_header\n5 6 7\n"),
                   framing);
    EXPECT_EQ(Position(m, 0).x, 0.0f);
    EXPECT_EQ(m.halfExtent, 0.0f);
}

}  // namespace
