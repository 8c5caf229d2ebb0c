#include <gtest/gtest.h>

#include <array>
#include <set>
#include <utility>
#include <vector>

#include "pipeline/triangle_rasterizer.h"
#include "render/render_context.h"

namespace {

using PixelSet = std::set<std::pair<int, int>>;  // (column, row)

// Corners are placed straight in window pixels and handed to the three scan
// steps, as the triangle stage does after snapping.
class ScanConversionTest : public ::testing::Test {
protected:
    RenderContext context;
    TriangleRasterizer rasterizer{context};

    void SetUp() override { context.SetFrameBuffer(FrameBuffer(12, 12, Color(0, 0, 0, 1))); }

    void Place(int k, int x, int y, float depth = 5.0f, Color color = Color(1, 1, 1, 1))
    {
        rasterizer.vertices[k].windowPos =
            Vector4(static_cast<float>(x), static_cast<float>(y), depth, 1);
        rasterizer.vertices[k].color = color;
    }

    void Scan(bool fill)
    {
        rasterizer.PrepareEdges();
        rasterizer.WalkEdge(rasterizer.vertices[0], rasterizer.vertices[1], 1);
        rasterizer.WalkEdge(rasterizer.vertices[1], rasterizer.vertices[2], 1);
        rasterizer.WalkEdge(rasterizer.vertices[0], rasterizer.vertices[2], 2);
        if (fill) rasterizer.FillSpans();
    }

    PixelSet Lit() const
    {
        PixelSet lit;
        const FrameBuffer& fb = context.frameBuffer;
        for (int y = 0; y < fb.height; ++y)
            for (int x = 0; x < fb.width; ++x)
                if (fb.pixels[y * fb.width + x].color.r > 0) lit.insert({x, y});
        return lit;
    }

    float Red(int x, int y) const { return context.frameBuffer.pixels[y * 12 + x].color.r; }
};

TEST_F(ScanConversionTest, FilledRightTriangleCoversEdgesAndInterior)
{
    Place(0, 1, 1);
    Place(1, 5, 1);
    Place(2, 1, 5);
    Scan(true);
    const PixelSet expected = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {1, 2}, {2, 2}, {3, 2},
                               {4, 2}, {1, 3}, {2, 3}, {3, 3}, {1, 4}, {2, 4}, {1, 5}};
    EXPECT_EQ(Lit(), expected);
    EXPECT_EQ(rasterizer.edgeRows, 4);
    EXPECT_EQ(edgeCursor, 0);
}

TEST_F(ScanConversionTest, WireframeDrawsOnlyTheBresenhamEdges)
{
    Place(0, 1, 1);
    Place(1, 5, 1);
    Place(2, 1, 5);
    Scan(false);
    const PixelSet expected = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {4, 2},
                               {3, 3}, {2, 4}, {1, 5}, {1, 2}, {1, 3}, {1, 4}};
    EXPECT_EQ(Lit(), expected);
}

TEST_F(ScanConversionTest, EdgeListsRecordTheFirstPixelOfEveryRowBelowTheTop)
{
    // Sorted by row: (2, 1) top, (9, 3) middle, (4, 7) bottom.
    Place(0, 9, 3);
    Place(1, 2, 1);
    Place(2, 4, 7);
    Scan(true);
    EXPECT_EQ(rasterizer.vertices[0].windowPos.y, 1);
    EXPECT_EQ(rasterizer.vertices[1].windowPos.x, 9);
    ASSERT_EQ(rasterizer.edgeRows, 6);
    // Chain: the x-major edge (2,1)->(9,3) reaches row 2 at x = 4 and row 3 at
    // x = 8; then (9,3)->(4,7) records rows 4..7.
    const int chainX[] = {4, 8, 8, 7, 5, 4};
    const int longX[] = {2, 3, 3, 3, 4, 4};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(rasterizer.chainEdges[k].windowPos.y, 2 + k) << k;
        EXPECT_EQ(rasterizer.chainEdges[k].windowPos.x, chainX[k]) << k;
        EXPECT_EQ(rasterizer.longEdges[k].windowPos.y, 2 + k) << k;
        EXPECT_EQ(rasterizer.longEdges[k].windowPos.x, longX[k]) << k;
    }
    // Spans fill strictly between the two recorded pixels of each row.
    for (int x = 3; x < 8; ++x)
        EXPECT_GT(Red(x, 3), 0) << x;
    EXPECT_EQ(Red(2, 3), 0);
    EXPECT_EQ(Red(9, 4), 0);
}

TEST_F(ScanConversionTest, TriangleOnOneRowIsDrawnAsARunWithoutEdgeEntries)
{
    Place(0, 2, 4);
    Place(1, 8, 4);
    Place(2, 5, 4);
    Scan(true);
    EXPECT_EQ(rasterizer.edgeRows, 0);
    PixelSet expected;
    for (int x = 2; x <= 8; ++x)
        expected.insert({x, 4});
    EXPECT_EQ(Lit(), expected);
}

TEST_F(ScanConversionTest, EdgeWithBothEndsOnOnePixelShadesItOnceAtTheStartColour)
{
    context.Enable(RC_DEPTH_TEST);
    Place(0, 3, 3, 5.0f, Color(0.5f, 0, 0, 1));
    Place(1, 3, 3, 5.0f, Color(1, 0, 0, 1));
    Place(2, 3, 3, 5.0f, Color(1, 0, 0, 1));
    rasterizer.PrepareEdges();
    rasterizer.WalkEdge(rasterizer.vertices[0], rasterizer.vertices[1], 1);
    EXPECT_EQ(Red(3, 3), 0.5f);
    EXPECT_EQ(context.frameBuffer.GetDepth(3, 3), 5.0f - 0.05f);
}

TEST_F(ScanConversionTest, PixelsOfAnXMajorRunInsideTheSpanAreShadedTwice)
{
    // Half-transparent white over black, no depth test: one write gives 0.5,
    // a second 0.75.
    context.depthTest = false;
    const Color half(1, 1, 1, 0.5f);
    Place(0, 1, 1, 5, half);
    Place(1, 10, 1, 5, half);
    Place(2, 9, 3, 5, half);
    Scan(true);
    // The long edge (1,1)->(9,3) is x-major: on row 2 it is recorded at x = 3
    // and runs on to x = 6, into the span between x = 3 and the chain's x = 9.
    EXPECT_FLOAT_EQ(Red(3, 2), 0.5f);   // recorded edge pixel
    EXPECT_FLOAT_EQ(Red(5, 2), 0.75f);  // run pixel inside the span
    EXPECT_FLOAT_EQ(Red(7, 2), 0.5f);   // span only
    EXPECT_FLOAT_EQ(Red(9, 3), 0.75f);  // corner shared by two walks
}

TEST_F(ScanConversionTest, DepthTestKeepsTheNearerOfTwoTriangles)
{
    Place(0, 1, 1, 10.0f, Color(1, 0, 0, 1));
    Place(1, 8, 1, 10.0f, Color(1, 0, 0, 1));
    Place(2, 1, 8, 10.0f, Color(1, 0, 0, 1));
    Scan(true);
    Place(0, 1, 1, 20.0f, Color(0, 1, 0, 1));
    Place(1, 8, 1, 20.0f, Color(0, 1, 0, 1));
    Place(2, 1, 8, 20.0f, Color(0, 1, 0, 1));
    Scan(true);
    EXPECT_EQ(Red(2, 2), 1.0f);
    EXPECT_EQ(context.frameBuffer.pixels[2 * 12 + 2].color.g, 0.0f);
}

TEST_F(ScanConversionTest, ColoursAndDepthInterpolateLinearlyAlongAnEdge)
{
    Place(0, 0, 0, 0.0f, Color(0, 0, 0, 1));
    Place(1, 4, 0, 4.0f, Color(1, 0, 0, 1));
    rasterizer.PrepareEdges();
    context.depthTest = true;
    rasterizer.WalkEdge(rasterizer.vertices[0], rasterizer.vertices[1], 0);
    EXPECT_FLOAT_EQ(Red(1, 0), 0.25f);
    EXPECT_FLOAT_EQ(Red(2, 0), 0.5f);
    EXPECT_FLOAT_EQ(context.frameBuffer.GetDepth(3, 0), 3.0f - 0.05f);
}

}  // namespace

// Per-pixel lighting lights only the walk fragments it writes; a fragment
// recorded in the edge list but hidden still hands its entry the normal and
// position the span will interpolate, exactly as when it is written.
TEST_F(ScanConversionTest, HiddenRecordedFragmentsKeepTheirNormalAndPosition)
{
    context.Enable(RC_LIGHTING);
    context.Enable(RC_LIGHT0);
    context.shadeModel = RC_PHONG;
    Place(0, 2, 1);
    Place(1, 9, 3);
    Place(2, 4, 9);
    const Vector3 normals[3] = {{0, 0, 2}, {1, 0, 1}, {0, -3, 1}};
    for (int k = 0; k < 3; ++k) {
        rasterizer.vertices[k].normal = normals[k];
        rasterizer.vertices[k].position = Vector4(static_cast<float>(k), 0.5f * k, -1.0f * k, 1);
    }
    const auto entries = [this] {
        std::vector<std::array<float, 6>> recorded;
        for (const auto* list : {&rasterizer.chainEdges, &rasterizer.longEdges})
            for (int k = 0; k < rasterizer.edgeRows; ++k) {
                const PipelineVertex& e = (*list)[static_cast<std::size_t>(k)];
                recorded.push_back(
                    {e.normal.x, e.normal.y, e.normal.z, e.position.x, e.position.y, e.position.z});
            }
        return recorded;
    };
    Scan(false);  // every fragment written
    const auto written = entries();
    ASSERT_FALSE(Lit().empty());
    context.SetFrameBuffer(FrameBuffer(12, 12, Color(0, 0, 0, 1)));
    for (Pixel& p : context.frameBuffer.pixels)
        p.depth = -100.0f;  // nearer than every fragment
    rasterizer.chainEdges.assign(rasterizer.chainEdges.size(), PipelineVertex());
    rasterizer.longEdges.assign(rasterizer.longEdges.size(), PipelineVertex());
    Scan(false);  // none written, all recorded
    EXPECT_TRUE(Lit().empty());
    EXPECT_EQ(entries(), written);
}
