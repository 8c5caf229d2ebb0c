#include "app/pipeline_views.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "pipeline/draw_model.h"
#include "pipeline/draw_observer.h"
#include "pipeline/test_mesh.h"
#include "render/render_context.h"

namespace {

using Rgb = std::tuple<int, int, int>;

Rgb At(const RgbImage& picture, int x, int y)
{
    const std::size_t i = 3 * static_cast<std::size_t>(y * picture.width + x);
    return {picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]};
}

// The triangle (1, 1), (10, 1), (9, 3) of a 16 x 16 frame at depth 5, and a
// second one nearer, (12, 8), (14, 8), (12, 12) at depth 2: see
// draw_observer_test.cpp for where each fragment of the first falls.
class PipelineViewsTest : public ::testing::Test {
protected:
    RenderContext context;
    TestMesh mesh{{OnPixel(1, 1, 5), OnPixel(10, 1, 5), OnPixel(9, 3, 5), OnPixel(12, 8, 2),
                   OnPixel(14, 8, 2), OnPixel(12, 12, 2)},
                  {{0, 1, 2}, {3, 4, 5}}};
    DrawObserver observer{16, 16};

    void SetUp() override
    {
        context.SetFrameBuffer(FrameBuffer(16, 16, Color(0, 0, 0, 1)));
        context.modelViewProjectionMatrix = Matrix4();
        context.cullFace = false;
        mesh.Bind(context);
        DrawModel(context, &observer);
    }
    RgbImage View(PipelineView view) { return ViewPicture(view, observer, context.frameBuffer); }
};

TEST_F(PipelineViewsTest, DepthIsGreyNearestBrightestAndBlackWhereNothingWasWritten)
{
    const RgbImage depth = View(PipelineView::kDepth);
    ASSERT_EQ(depth.rgb.size(), 16u * 16u * 3u);
    EXPECT_EQ(At(depth, 12, 9), Rgb(255, 255, 255));
    EXPECT_EQ(At(depth, 5, 2), Rgb(48, 48, 48));
    EXPECT_EQ(At(depth, 0, 0), Rgb(0, 0, 0));
}

TEST_F(PipelineViewsTest, StagesShowTheSourceOfTheLastFragmentWritten)
{
    const RgbImage stages = View(PipelineView::kStages);
    // (5, 2): the long walk wrote it, the span after it failed.
    EXPECT_EQ(At(stages, 5, 2), At(stages, 3, 2));
    EXPECT_EQ(At(stages, 9, 3), At(stages, 9, 2));  // the second walk's, before the long's
    EXPECT_NE(At(stages, 9, 2), At(stages, 5, 2));
    EXPECT_NE(At(stages, 7, 2), At(stages, 5, 2));  // the span
    EXPECT_NE(At(stages, 4, 1), At(stages, 9, 2));  // the first walk
    EXPECT_NE(At(stages, 4, 1), At(stages, 7, 2));
    EXPECT_EQ(At(stages, 0, 0), Rgb(0, 0, 0));
}

TEST_F(PipelineViewsTest, OverdrawAndFacesTellPixelsApart)
{
    const RgbImage overdraw = View(PipelineView::kOverdraw);
    EXPECT_EQ(At(overdraw, 0, 0), Rgb(0, 0, 0));
    EXPECT_EQ(At(overdraw, 4, 2), At(overdraw, 2, 1));  // twice each
    EXPECT_NE(At(overdraw, 4, 2), At(overdraw, 7, 2));  // twice, once
    EXPECT_NE(At(overdraw, 7, 2), Rgb(0, 0, 0));
    const RgbImage faces = View(PipelineView::kFaces);
    EXPECT_EQ(At(faces, 5, 2), At(faces, 9, 3));
    EXPECT_NE(At(faces, 5, 2), At(faces, 12, 9));
    EXPECT_EQ(At(faces, 0, 0), Rgb(0, 0, 0));
}

TEST(PipelineViews, OverdrawRampGivesEachCountToNineItsOwnColourAndMoreWhite)
{
    RenderContext context;
    context.SetFrameBuffer(FrameBuffer(16, 16, Color(0, 0, 0, 1)));
    context.modelViewProjectionMatrix = Matrix4();
    context.depthTest = false;
    // Pixel (3, 3) is shaded by the three walks of each of n one-pixel triangles.
    std::vector<std::vector<int32_t>> faces;
    for (int i = 0; i < 4; ++i)
        faces.push_back({0, 0, 0});
    TestMesh points({OnPixel(3, 3, 5)}, faces);
    std::set<Rgb> colours;
    for (int n = 1; n <= 4; ++n) {
        points.faces.Resize(n);
        for (int32_t f = 0; f < n; ++f)
            points.faces.SetFace(f, 3, faces[f].data());
        points.Bind(context);
        DrawObserver observer(16, 16);
        DrawModel(context, &observer);
        ASSERT_EQ(observer.At(3, 3).fragments, static_cast<uint32_t>(3 * n));
        colours.insert(
            At(ViewPicture(PipelineView::kOverdraw, observer, context.frameBuffer), 3, 3));
    }
    EXPECT_EQ(colours.size(), 4u);
    EXPECT_EQ(colours.count(Rgb(255, 255, 255)), 1u);  // 12: beyond the ramp
}

TEST(PipelineViews, APictureShownInAFrameBufferExportsByteForByte)
{
    FrameBuffer frame(16, 16, Color(0, 0, 0, 1));
    RgbImage picture{16, 16, {}};
    for (int i = 0; i < 16 * 16 * 3; ++i)
        picture.rgb.push_back(static_cast<uint8_t>(i * 7 % 256));
    ShowPicture(picture, frame);
    EXPECT_EQ(frame.ExportRGB(), picture.rgb);
}

}  // namespace
