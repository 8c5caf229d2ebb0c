// Counts of small meshes worked out by hand along the road: which triangles
// are handed on, culled, rejected and drawn, and every fragment of their
// walks and spans with its depth test.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "counts_text.h"
#include "pipeline/draw_model.h"
#include "pipeline/draw_observer.h"
#include "render/render_context.h"
#include "test_mesh.h"

namespace {

// A 16 x 16 frame; corners are placed on pixels (OnPixel), unlit, every face
// drawn whichever way it faces unless a test culls.
class DrawObserverTest : public ::testing::Test {
protected:
    RenderContext context;

    void SetUp() override
    {
        context.SetFrameBuffer(FrameBuffer(16, 16, Color(0, 0, 0, 1)));
        context.modelViewProjectionMatrix = Matrix4();
        context.cullFace = false;
    }

    DrawObserver Observe(TestMesh& mesh, const std::vector<PixelPosition>& watched = {})
    {
        context.frameBuffer.Clear();
        mesh.Bind(context);
        DrawObserver observer(16, 16, watched);
        DrawModel(context, &observer);
        return observer;
    }
    std::string Counts(TestMesh& mesh) { return CountsText(Observe(mesh).counts); }
};

// Corners (1, 1), (10, 1), (9, 3): the first walk runs along row 1 (10
// pixels), the second down to (9, 3) (3 pixels), the long walk is x-major
// (9 pixels, runs of 2, 4 and 3 on rows 1, 2 and 3). The spans of rows 2
// and 3 lie between x = 9 and 3 (5 pixels) and 9 and 7 (1 pixel). Eight
// pixels are shaded twice: (1, 1), (2, 1) and (10, 1) by two walks, (9, 3)
// by two walks, and (4, 2), (5, 2), (6, 2) and (8, 3) by the long walk's
// runs and a span. At one depth every repeat fails.
TestMesh XMajorTriangle(float depth = 5.0f)
{
    return TestMesh({OnPixel(1, 1, depth), OnPixel(10, 1, depth), OnPixel(9, 3, depth)},
                    {{0, 1, 2}});
}

TEST_F(DrawObserverTest, XMajorRunsInsideASpanShadeTheirPixelsTwice)
{
    TestMesh triangle = XMajorTriangle();
    EXPECT_EQ(Counts(triangle),
              "faces=1 triangles=1 culled=0 rejected=0 drawn=1 fragments=28 offscreen=0 "
              "passed=20 failed=8 written=20");
    const DrawObserver observer = Observe(triangle, {{5, 2}, {1, 1}});
    EXPECT_EQ(observer.At(5, 2).fragments, 2u);
    EXPECT_EQ(observer.At(7, 2).fragments, 1u);
    // (5, 2): the long walk's step 4 of 8, then the span's step 4 of 6.
    const std::vector<PixelEvent>& twice = observer.History(0);
    ASSERT_EQ(twice.size(), 2u);
    EXPECT_EQ(twice[0].source, FragmentSource::kLong);
    EXPECT_EQ(twice[0].t, 0.5f);
    EXPECT_TRUE(twice[0].passed);
    EXPECT_EQ(twice[1].source, FragmentSource::kSpan);
    EXPECT_EQ(twice[1].t, 4.0f / 6.0f);
    EXPECT_FALSE(twice[1].passed);
    EXPECT_EQ(twice[1].stored, 5.0f - 0.05f);
    // (1, 1): the first walk's start, then the long walk's.
    const std::vector<PixelEvent>& corner = observer.History(1);
    ASSERT_EQ(corner.size(), 2u);
    EXPECT_EQ(corner[0].source, FragmentSource::kEdge1);
    EXPECT_EQ(corner[1].source, FragmentSource::kLong);
}

TEST_F(DrawObserverTest, WireframeHasNoSpansAndTheDepthTestOffPassesEveryFragment)
{
    TestMesh triangle = XMajorTriangle();
    context.polygonMode = RC_LINE;
    EXPECT_EQ(Counts(triangle),
              "faces=1 triangles=1 culled=0 rejected=0 drawn=1 fragments=22 offscreen=0 "
              "passed=18 failed=4 written=18");
    context.polygonMode = RC_FILL;
    context.depthTest = false;
    EXPECT_EQ(Counts(triangle),
              "faces=1 triangles=1 culled=0 rejected=0 drawn=1 fragments=28 offscreen=0 "
              "passed=28 failed=0 written=28");
}

// Corners (5, 1), (5, 4), (6, 4): the chain records x = 5 on rows 2 to 4,
// the long walk x = 5, 6, 6; no row's recorded pixels are more than one
// apart, so no span has a pixel. Walks of 4, 2 and 4 pixels; (5, 1), (5, 2),
// (5, 4) and (6, 4) are shaded twice.
TEST_F(DrawObserverTest, RowsWhoseEdgePixelsAreAdjacentHaveNoSpanFragments)
{
    TestMesh triangle({OnPixel(5, 1, 5), OnPixel(5, 4, 5), OnPixel(6, 4, 5)}, {{0, 1, 2}});
    const std::string filled = Counts(triangle);
    EXPECT_EQ(filled,
              "faces=1 triangles=1 culled=0 rejected=0 drawn=1 fragments=10 offscreen=0 "
              "passed=6 failed=4 written=6");
    context.polygonMode = RC_LINE;
    EXPECT_EQ(Counts(triangle), filled);
}

// Three triangles on one pixel, each shaded there by its three walks at
// t = 0 (one-pixel edges). The second lies exactly at the depth the first
// stored: a tie, which fails. The third is one step nearer: it passes once.
TEST_F(DrawObserverTest, AFragmentAtExactlyTheStoredDepthFails)
{
    const float stored = 5.0f - 0.05f;
    const float nearer = std::nextafter(stored, 0.0f);
    TestMesh points({OnPixel(4, 4, 5.0f), OnPixel(4, 4, stored), OnPixel(4, 4, nearer)},
                    {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}});
    const DrawObserver observer = Observe(points, {{4, 4}});
    EXPECT_EQ(CountsText(observer.counts),
              "faces=3 triangles=3 culled=0 rejected=0 drawn=3 fragments=9 offscreen=0 "
              "passed=2 failed=7 written=2");
    const std::vector<PixelEvent>& history = observer.History(0);
    ASSERT_EQ(history.size(), 9u);
    const FragmentSource order[3] = {FragmentSource::kEdge1, FragmentSource::kEdge2,
                                     FragmentSource::kLong};
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(history[k].triangle.face, k / 3) << k;
        EXPECT_EQ(history[k].source, order[k % 3]) << k;
        EXPECT_EQ(history[k].t, 0.0f) << k;
        EXPECT_EQ(history[k].passed, k == 0 || k == 6) << k;
    }
    EXPECT_EQ(history[3].depth, history[3].stored);  // the tie
}

// One triangle in both windings: one faces the eye, the other is culled.
// Sorted by row, both walk the same corners, so with culling off the pair
// has twice the fragments.
TEST_F(DrawObserverTest, ACulledTriangleHasNoFragments)
{
    context.cullFace = true;  // the eye is at the origin, the triangles at z = 5
    TestMesh pair({OnPixel(2, 2, 5), OnPixel(12, 2, 5), OnPixel(2, 12, 5)}, {{0, 1, 2}, {0, 2, 1}});
    const PipelineCounts culling = Observe(pair).counts;
    EXPECT_EQ(culling.culled, 1);
    EXPECT_EQ(culling.drawn, 1);
    EXPECT_GT(culling.fragments, 60);
    context.cullFace = false;
    EXPECT_EQ(Observe(pair).counts.fragments, 2 * culling.fragments);
}

// Rejected whole: every corner right of the view, every corner beyond the
// far distance, and one corner beyond the window band (which the view test
// alone would keep). None has a fragment.
TEST_F(DrawObserverTest, RejectedTrianglesHaveNoFragments)
{
    TestMesh rejected({OnPixel(20, 5, 5),
                       OnPixel(25, 5, 5),
                       OnPixel(22, 9, 5),
                       OnPixel(2, 2, 2000),
                       OnPixel(9, 2, 2000),
                       OnPixel(2, 9, 2000),
                       OnPixel(2, 2, 5),
                       {2000, 0, 5},
                       OnPixel(2, 9, 5)},
                      {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}});
    EXPECT_EQ(Counts(rejected),
              "faces=3 triangles=3 culled=0 rejected=3 drawn=0 fragments=0 offscreen=0 "
              "passed=0 failed=0 written=0");
}

// Faces of fewer than three corners, or with an index out of range, are
// counted as faces but never reach the triangle stage; a quad is a fan of
// two triangles.
TEST_F(DrawObserverTest, OnlyFacesOfThreeCornersInRangeAreHandedOnAsTriangles)
{
    TestMesh mesh({OnPixel(2, 2, 5), OnPixel(12, 2, 5), OnPixel(12, 12, 5), OnPixel(2, 12, 5)},
                  {{0, 1}, {2}, {}, {0, 1, 4}, {0, -1, 2}, {0, 1, 2, 3}});
    const DrawObserver observer = Observe(mesh);
    EXPECT_EQ(observer.counts.faces, 6);
    EXPECT_EQ(observer.counts.triangles, 2);
    EXPECT_EQ(observer.counts.drawn, 2);
    EXPECT_EQ(observer.At(12, 12).face, 5);
}

// A triangle behind a wall that covers its every pixel: the plain draw skips
// it before scan conversion, the observed one counts each of its 28
// fragments as failing the depth test.
TEST_F(DrawObserverTest, ATriangleTheDepthBufferHidesCountsEachFragmentAsFailed)
{
    const std::vector<TestMesh::Vertex> wall = {OnPixel(0, 0, 1), OnPixel(15, 0, 1),
                                                OnPixel(15, 15, 1), OnPixel(0, 15, 1)};
    TestMesh alone(wall, {{0, 1, 2, 3}});
    const PipelineCounts before = Observe(alone).counts;
    std::vector<TestMesh::Vertex> corners = wall;
    for (const TestMesh::Vertex& v : {OnPixel(1, 1, 5), OnPixel(10, 1, 5), OnPixel(9, 3, 5)})
        corners.push_back(v);
    TestMesh behind(corners, {{0, 1, 2, 3}, {4, 5, 6}});
    const PipelineCounts counts = Observe(behind).counts;
    EXPECT_EQ(counts.drawn, before.drawn + 1);
    EXPECT_EQ(counts.fragments, before.fragments + 28);
    EXPECT_EQ(counts.depthFailed, before.depthFailed + 28);
    EXPECT_EQ(counts.depthPassed, before.depthPassed);
}

// A triangle on row 3 from x = -4 to x = 20 in a frame 16 wide: walks of 25,
// 13 and 13 pixels, of which 9, 5 and 4 lie off the frame; the 33 on it
// cover columns 0 to 15 once each and 17 of them again.
TEST_F(DrawObserverTest, FragmentsOffTheFrameAreCountedAndWriteNothing)
{
    TestMesh run({OnPixel(-4, 3, 5), OnPixel(20, 3, 5), OnPixel(8, 3, 5)}, {{0, 1, 2}});
    EXPECT_EQ(Counts(run),
              "faces=1 triangles=1 culled=0 rejected=0 drawn=1 fragments=51 offscreen=18 "
              "passed=16 failed=17 written=16");
}

TEST(DrawObserver, LeavesOutWatchedPixelsOutsideTheFrameOrGivenTwice)
{
    const DrawObserver observer(8, 4, {{1, 1}, {8, 0}, {0, 4}, {-1, 2}, {1, 1}, {7, 3}});
    ASSERT_EQ(observer.Watched().size(), 2u);
    EXPECT_EQ(observer.Watched()[1].x, 7);
    EXPECT_EQ(observer.At(7, 3).watch, 1);
    EXPECT_EQ(observer.At(0, 0).watch, -1);
}

}  // namespace
