#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "pipeline/triangle_rasterizer.h"
#include "pipeline/triangle_stage.h"
#include "render/render_context.h"
#include "test_mesh.h"

namespace {

TEST(SnapCoordinate, TruncatesTowardZeroThenAddsOne)
{
    EXPECT_EQ(SnapCoordinate(239.7), 240.0f);
    EXPECT_EQ(SnapCoordinate(0.0), 1.0f);
    EXPECT_EQ(SnapCoordinate(-0.5), 1.0f);
    EXPECT_EQ(SnapCoordinate(-1.5), 0.0f);
}

// Positions are handed straight to clip space (identity model-view-
// projection), so a corner's x, y and z are its normalised coordinates.
class TriangleStageTest : public ::testing::Test {
protected:
    RenderContext context;
    TriangleRasterizer rasterizer{context};

    void SetUp() override
    {
        context.SetFrameBuffer(FrameBuffer(20, 20, Color(0, 0, 0, 1)));
        context.modelViewProjectionMatrix = Matrix4();
    }

    // Draws one triangle and tells whether it reached scan conversion.
    bool Draws(Vector4 p0, Vector4 p1, Vector4 p2, Vector3 normal = Vector3(0, 0, -1))
    {
        PipelineVertex corners[3];
        corners[0].position = p0;
        corners[1].position = p1;
        corners[2].position = p2;
        rasterizer.edgeRows = -1;
        rasterizer.LoadTriangle(corners, normal, Material());
        rasterizer.DrawTriangle();
        return rasterizer.edgeRows != -1;
    }
};

TEST_F(TriangleStageTest, RejectionNeedsSomeCornerInsideOnEachAxis)
{
    context.cullFace = false;
    EXPECT_TRUE(Draws({0, 0, 5, 1}, {0.5f, 0, 5, 1}, {0, 0.5f, 5, 1}));
    EXPECT_FALSE(Draws({1.5f, 0, 5, 1}, {2, 0, 5, 1}, {3, 0.5f, 5, 1}));          // no x inside
    EXPECT_FALSE(Draws({0, -2, 5, 1}, {0.5f, -3, 5, 1}, {0, -1.01f, 5, 1}));      // no y inside
    EXPECT_FALSE(Draws({0, 0, 0.05f, 1}, {0.5f, 0, 2000, 1}, {0, 0.5f, -1, 1}));  // no depth
    // Each test met by a different corner.
    EXPECT_TRUE(Draws({0.5f, 5, -10, 1}, {5, 0.5f, -10, 1}, {5, 5, 50, 1}));
}

TEST_F(TriangleStageTest, CornersOnTheViewVolumeBoundsCountAsInside)
{
    context.cullFace = false;
    // These triangles miss the frame buffer: with the depth test on they
    // would be skipped as hidden before scan conversion, the probe here.
    context.depthTest = false;
    EXPECT_TRUE(Draws({1, 3, 0.1f, 1}, {3, -1, 2000, 1}, {3, 3, 2000, 1}));
    EXPECT_TRUE(Draws({-1, 3, 1000, 1}, {3, 1, -5, 1}, {3, 3, -5, 1}));
    EXPECT_FALSE(Draws({NAN, 0, 5, 1}, {NAN, 0, 5, 1}, {NAN, 0.5f, 5, 1}));
}

TEST_F(TriangleStageTest, CullingKeepsFacesTurnedTowardsTheEyeAndFlipsUnderClockwise)
{
    // The eye is at the origin, the triangle's centre on the z axis at z = 5.
    const Vector4 a(-0.5f, -0.5f, 5, 1), b(0.5f, -0.5f, 5, 1), c(0, 1, 5, 1);
    EXPECT_TRUE(Draws(a, b, c, Vector3(0, 0, -1)));
    EXPECT_FALSE(Draws(a, b, c, Vector3(0, 0, 1)));
    EXPECT_TRUE(Draws(a, b, c, Vector3(1, 0, 0)));  // a zero product is drawn
    context.frontFace = RC_CW;
    EXPECT_FALSE(Draws(a, b, c, Vector3(0, 0, -1)));
    EXPECT_TRUE(Draws(a, b, c, Vector3(0, 0, 1)));
    context.cullFace = false;
    EXPECT_TRUE(Draws(a, b, c, Vector3(0, 0, 1)));
    EXPECT_TRUE(Draws(a, b, c, Vector3(NAN, 0, 0)));
}

TEST_F(TriangleStageTest, NotANumberNormalIsCulled)
{
    EXPECT_FALSE(Draws({0, 0, 5, 1}, {0.5f, 0, 5, 1}, {0, 0.5f, 5, 1}, Vector3(NAN, 0, 0)));
}

TEST_F(TriangleStageTest, CornersAreSnappedToWholePixelsOneRightAndOneDown)
{
    context.cullFace = false;
    ASSERT_TRUE(Draws({-1, 1, 5, 1}, {0.05f, 1, 5, 1}, {-1, -0.05f, 5, 1}));
    // x = -1 maps to 0, snapped to 1; y = 1 maps to row 0, snapped to 1.
    EXPECT_EQ(rasterizer.vertices[0].windowPos.x, 1.0f);
    EXPECT_EQ(rasterizer.vertices[0].windowPos.y, 1.0f);
    EXPECT_EQ(rasterizer.vertices[1].windowPos.x, 11.0f);
    EXPECT_EQ(rasterizer.vertices[2].windowPos.y, 11.0f);
    EXPECT_EQ(rasterizer.vertices[2].windowPos.z, 5.0f);  // depth is clip z
    EXPECT_EQ(context.frameBuffer.GetDepth(0, 0), CLEAR_DEPTH);
    EXPECT_LT(context.frameBuffer.GetDepth(1, 1), CLEAR_DEPTH);
}

TEST_F(TriangleStageTest, CornersFarOutsideTheWindowBandDropTheTriangleUntouched)
{
    context.cullFace = false;
    ASSERT_TRUE(Draws({0, 0, 5, 1}, {0.5f, 0, 5, 1}, {0, 0.5f, 5, 1}));
    const auto chainBefore = rasterizer.chainEdges.size();
    const int rowsBefore = rasterizer.edgeRows;
    // 1000 in normalised x is 10010 pixels: beyond the band.
    PipelineVertex corners[3];
    corners[0].position = Vector4(0, 0, 5, 1);
    corners[1].position = Vector4(1000, 0, 5, 1);
    corners[2].position = Vector4(0, 0.5f, 5, 1);
    rasterizer.LoadTriangle(corners, Vector3(0, 0, -1), Material());
    rasterizer.DrawTriangle();
    EXPECT_EQ(rasterizer.edgeRows, rowsBefore);
    EXPECT_EQ(rasterizer.chainEdges.size(), chainBefore);
    EXPECT_EQ(edgeCursor, 0);
    // A corner whose w is almost 0 lands billions of pixels away.
    EXPECT_FALSE(Draws({0, 0, 5, 1}, {0.5f, 0, 5, 1e-30f}, {0, 0.5f, 5, 1}));
    EXPECT_FALSE(Draws({0, 0, 5, 1}, {INFINITY, 0, 5, 1}, {0, 0.5f, 5, 1}));
}

TEST_F(TriangleStageTest, WithoutLightingNormalsStayAsFetched)
{
    context.cullFace = false;
    PipelineVertex corners[3];
    corners[0].position = Vector4(0, 0, 5, 1);
    corners[1].position = Vector4(0.5f, 0, 5, 1);
    corners[2].position = Vector4(0, 0.5f, 5, 1);
    corners[1].normal = Vector3(0, 3, 0);
    Matrix4 scale;
    scale.SetScale(2, 2, 2);
    context.modelMatrix = scale;
    // Scan conversion sorts the corners by row: corner 1 ends up last.
    rasterizer.LoadTriangle(corners, Vector3(0, 0, -1), Material());
    rasterizer.DrawTriangle();
    EXPECT_EQ(rasterizer.vertices[2].normal.y, 3.0f);
    EXPECT_EQ(rasterizer.vertices[2].position.x, 1.0f);  // world space
    context.Enable(RC_LIGHTING);
    context.Enable(RC_NORMALIZE);
    context.frontFace = RC_CW;
    rasterizer.LoadTriangle(corners, Vector3(0, 0, 1), Material());
    rasterizer.DrawTriangle();
    EXPECT_EQ(rasterizer.vertices[2].normal.y, -1.0f);  // transformed, negated, normalised
}

TEST_F(TriangleStageTest, FlatShadingLightsTheFaceOnceAtItsCentre)
{
    context.cullFace = false;
    context.Enable(RC_LIGHTING);
    context.Enable(RC_LIGHT0);
    context.shadeModel = RC_FLAT;
    PipelineVertex corners[3];
    corners[0].position = Vector4(0, 0, 5, 1);
    corners[1].position = Vector4(0.5f, 0, 5, 1);
    corners[2].position = Vector4(0, 0.5f, 5, 1);
    corners[0].color = Color(1, 0, 0, 1);
    rasterizer.LoadTriangle(corners, Vector3(0, 0, -1), Material());
    rasterizer.DrawTriangle();
    PipelineVertex centre;
    centre.position = Vector4(0.5f / 3.0f, 0.5f / 3.0f, 5, 1);
    centre.normal = Vector3(0, 0, -1);
    rasterizer.ComputeLighting(centre);
    for (const PipelineVertex& v : rasterizer.vertices)
        EXPECT_FALSE(v.color != centre.color);
}

// Triangles that cannot pass the depth test anywhere are skipped before scan
// conversion; these cases pin what "anywhere" has to cover.
class HiddenTriangleTest : public TriangleStageTest {
protected:
    void SetDepths(float depth)
    {
        for (Pixel& p : context.frameBuffer.pixels)
            p.depth = depth;
    }
    // A green triangle at depth z over the columns 2 .. 8 of rows 10 .. 15
    // (its top edge takes six steps); returns how many pixels it changed.
    int DrawGreen(float z)
    {
        const std::vector<uint8_t> before = context.frameBuffer.ExportRGB();
        PipelineVertex corners[3];
        corners[0].position = Vector4(-0.85f, 0.05f, z, 1);
        corners[1].position = Vector4(-0.25f, 0.05f, z, 1);
        corners[2].position = Vector4(-0.85f, -0.45f, z, 1);
        for (PipelineVertex& corner : corners)
            corner.color = Color(0, 1, 0, 1);
        rasterizer.LoadTriangle(corners, Vector3(0, 0, -1), Material());
        rasterizer.DrawTriangle();
        const std::vector<uint8_t> after = context.frameBuffer.ExportRGB();
        int changed = 0;
        for (std::size_t i = 0; i < after.size(); i += 3)
            changed += after[i + 1] != before[i + 1];
        return changed;
    }
};

TEST_F(HiddenTriangleTest, FragmentsRoundedBelowEveryCornerStillPass)
{
    // (5/6) 4.95 + (1/6) 4.95 rounds to just under 4.95: a triangle lying
    // exactly at the stored depth still writes that fragment.
    SetDepths(4.95f);
    EXPECT_GT(DrawGreen(4.95f), 0);
}

TEST_F(HiddenTriangleTest, OneOpenPixelAtTheEdgeOfTheBoxIsDrawn)
{
    SetDepths(1.0f);
    EXPECT_EQ(DrawGreen(5.0f), 0);
    // The bottom corner's pixel, the far corner of the triangle's box.
    context.frameBuffer.pixels[15 * 20 + 2].depth = CLEAR_DEPTH;
    EXPECT_EQ(DrawGreen(5.0f), 1);
}

}  // namespace
