// The viewer apart from its window: the frames it renders into the context
// for a size, a time, a drag and the wheel.
#include "app/viewer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/frame_cycle.h"
#include "app/pipeline_views.h"
#include "app_test_support.h"
#include "pipeline/draw_observer.h"
#include "render/render_context.h"

namespace {

using app_test::CaptureStdout;
using app_test::SceneTest;

std::vector<uint8_t> Picture()
{
    return RenderContext::Instance().frameBuffer.ExportRGB();
}

// The smallest box of lit pixels: left, top, right, bottom (exclusive).
std::vector<int> LitBox()
{
    const FrameBuffer& fb = RenderContext::Instance().frameBuffer;
    const std::vector<uint8_t> rgb = fb.ExportRGB();
    std::vector<int> box{fb.width, fb.height, 0, 0};
    for (int y = 0; y < fb.height; ++y)
        for (int x = 0; x < fb.width; ++x) {
            const std::size_t i = 3 * (static_cast<std::size_t>(y) * fb.width + x);
            if ((rgb[i] | rgb[i + 1] | rgb[i + 2]) == 0) continue;
            box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
                   std::max(box[3], y + 1)};
        }
    return box;
}

// The box of half-extent 1 about the origin, as the fit leaves every mesh,
// first set up by the window program's scene set-up.
class ViewerTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        SetUpBox({-1, -1, -1}, {1, 1, 1});
        RenderContext& c = RenderContext::Instance();
        c.Enable(RC_DEPTH_TEST);
        c.Enable(RC_LIGHTING);
        c.Enable(RC_LIGHT0);
        c.polygonMode = RC_FILL;
        c.shadeModel = RC_PHONG;
    }

    // The window program's frame at `angle`.
    static std::vector<uint8_t> WindowFrame(float angle)
    {
        CaptureStdout out;
        RenderFrame(angle);
        return Picture();
    }
};

TEST_F(ViewerTest, InA480SquareItsFramesAreTheWindowProgramsAtThirtyDegreesASecond)
{
    const std::vector<uint8_t> start = WindowFrame(0.0f), turned = WindowFrame(30.0f);
    Viewer viewer(30.0);
    viewer.Resize(480, 480);
    viewer.RenderAt(5.0);
    EXPECT_EQ(Picture(), start);
    viewer.RenderAt(6.0);
    EXPECT_EQ(Picture(), turned);
    EXPECT_NE(start, turned);
}

TEST_F(ViewerTest, TheFrameBufferTakesTheWindowsSizeAndAWiderOneShowsTheMeshUnstretched)
{
    Viewer viewer(0.0);
    viewer.Resize(480, 480);
    viewer.Zoom(-5);  // farther, so that the box fits in the frame with room about it
    viewer.RenderAt(0.0);
    const std::vector<int> square = LitBox();
    viewer.Resize(720, 480);
    const RenderContext& c = RenderContext::Instance();
    EXPECT_EQ(c.frameBuffer.width, 720);
    EXPECT_EQ(c.frameBuffer.height, 480);
    EXPECT_EQ(c.viewportMatrix(0, 0), 360.0f);
    viewer.RenderAt(0.0);
    const std::vector<int> wide = LitBox();
    ASSERT_GT(square[0], 0);
    ASSERT_LT(square[2], 480);
    for (int side = 0; side < 4; ++side)
        EXPECT_NEAR(wide[side], square[side] + (side % 2 == 0 ? 120 : 0), 1) << side;
}

TEST_F(ViewerTest, ADragChangesTheFrameUntilReleasedAndResetReturnsToTheStart)
{
    Viewer viewer(0.0);
    viewer.Resize(480, 480);
    viewer.RenderAt(0.0);
    const std::vector<uint8_t> start = Picture();
    EXPECT_FALSE(viewer.DragTo(300, 200));  // no button held
    viewer.StartDrag(Viewer::Drag::kTurn, 100, 100);
    EXPECT_FALSE(viewer.DragTo(100, 100));
    EXPECT_TRUE(viewer.DragTo(160, 130));
    viewer.EndDrag();
    EXPECT_FALSE(viewer.DragTo(400, 400));
    viewer.RenderAt(0.0);
    const std::vector<uint8_t> turned = Picture();
    EXPECT_NE(turned, start);
    viewer.RenderAt(1.0);
    EXPECT_EQ(Picture(), turned);  // kept, the turn being still
    viewer.ResetView();
    viewer.RenderAt(2.0);
    EXPECT_EQ(Picture(), start);
}

TEST_F(ViewerTest, TheWheelAndTheRightButtonMoveTheEyeNearerAndFarther)
{
    Viewer viewer(0.0);
    viewer.Resize(480, 480);
    viewer.Zoom(-5);
    viewer.RenderAt(0.0);
    const std::vector<int> start = LitBox();
    viewer.Zoom(2);  // towards the user: nearer, so larger
    viewer.RenderAt(0.0);
    const std::vector<int> nearer = LitBox();
    EXPECT_GT(nearer[2] - nearer[0], start[2] - start[0]);
    viewer.StartDrag(Viewer::Drag::kZoom, 0, 0);
    viewer.DragTo(0, 100);  // down: farther
    viewer.RenderAt(0.0);
    const std::vector<int> farther = LitBox();
    EXPECT_LT(farther[2] - farther[0], start[2] - start[0]);
}

TEST_F(ViewerTest, ThePauseHoldsTheFrameAndTheMeterCountsEveryFrame)
{
    Viewer viewer(90.0);
    viewer.Resize(480, 480);
    viewer.RenderAt(0.0);
    viewer.turn.TogglePause(0.5);
    viewer.RenderAt(0.5);
    const std::vector<uint8_t> paused = Picture();
    viewer.RenderAt(3.0);
    EXPECT_EQ(Picture(), paused);
    EXPECT_NE(paused, WindowFrame(0.0f));
    const std::optional<std::string> line = viewer.meter.TakeLine(3.0);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->substr(0, 9), "1.0 fps, ") << *line;  // 3 frames in 3 seconds
}

}  // namespace

TEST_F(ViewerTest, AViewOfThePipelineShowsInPlaceOfThePictureUntilItsKeyComesAgain)
{
    const std::vector<uint8_t> shaded = WindowFrame(0.0f);
    RenderContext& c = RenderContext::Instance();
    for (const PipelineView view : {PipelineView::kDepth, PipelineView::kOverdraw,
                                    PipelineView::kFaces, PipelineView::kStages}) {
        DrawObserver observer(480, 480);
        CaptureStdout out;
        RenderFrame(0.0f, &observer);
        const RgbImage expected = ViewPicture(view, observer, c.frameBuffer);

        Viewer viewer(0.0);
        viewer.Resize(480, 480);
        viewer.ToggleView(view);
        EXPECT_EQ(viewer.Shown(), view);
        viewer.RenderAt(0.0);
        EXPECT_EQ(Picture(), expected.rgb) << PipelineViewName(view);
        EXPECT_NE(Picture(), shaded) << PipelineViewName(view);
        viewer.ToggleView(view);
        EXPECT_FALSE(viewer.Shown());
        viewer.RenderAt(0.0);
        EXPECT_EQ(Picture(), shaded) << PipelineViewName(view);
    }
}

TEST_F(ViewerTest, AnotherViewsKeySwitchesStraightToIt)
{
    Viewer viewer(0.0);
    viewer.ToggleView(PipelineView::kDepth);
    viewer.ToggleView(PipelineView::kFaces);
    EXPECT_EQ(viewer.Shown(), PipelineView::kFaces);
}
